// What a single-line edit box holds and how the user's edits change it, as
// the Windows edit control does: the text, the caret with the selection's
// other end (the anchor), word-wise moves whose words are separated by
// spaces, and one level of undo that a second undo takes back. No X and no
// drawing (the unit tests check it); the box measures, the caller says what
// fits.
#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace platform::x11 {

// Word boundaries: where Ctrl+Right goes from `at` (past the word and the
// spaces after it) and where Ctrl+Left goes (the start of the word before).
size_t nextWordStart(std::u32string_view text, size_t at);
size_t previousWordStart(std::u32string_view text, size_t at);

class EditText {
public:
    // Whether the whole line would fit the box.
    using Fits = std::function<bool(std::u32string_view)>;

    explicit EditText(std::u32string text = {});

    const std::u32string& text() const { return text_; }
    size_t caret() const { return caret_; }
    size_t selectionStart() const { return std::min(caret_, anchor_); }
    size_t selectionEnd() const { return std::max(caret_, anchor_); }
    bool hasSelection() const { return caret_ != anchor_; }
    std::u32string selectedText() const;

    // Caret moves: with `extend` (Shift) the anchor stays and the selection
    // grows or shrinks, else the selection goes. Left and Right go one
    // character (or word) from the caret, also from a selection.
    void moveTo(size_t at, bool extend);
    void moveLeft(bool extend, bool byWord);
    void moveRight(bool extend, bool byWord);
    void selectAll();
    // A double click on the character at `at`: its word with the spaces
    // after it.
    void selectWordAt(size_t at);

    // Edits. Each returns whether it changed the text, also to the same
    // text (selecting "a" and typing "a"); one that has nothing to do
    // changes nothing and returns false.
    //
    // Typing (`keystroke`) and pasting: the selection goes and as much of
    // `typed` comes in its place as fits; its first line only, control
    // characters left out.
    bool replaceSelection(std::u32string_view typed, const Fits& fits, bool keystroke);
    // Backspace and Delete: the selection, else one character.
    bool eraseBackward();
    bool eraseForward();
    // Cut's edit: the selection goes (its text is the caller's to keep).
    bool eraseSelection();
    // Back to the text before the last edit (a run of typing and erasing is
    // one edit); a second undo takes the undo back.
    bool undo();

private:
    struct Snapshot {
        std::u32string text;
        size_t caret = 0;
        size_t anchor = 0;
    };
    Snapshot snapshot() const { return {text_, caret_, anchor_}; }
    // Keeps the state before an edit for undo; keystrokes in a row share one.
    void beginEdit(bool keystroke);
    void collapseTo(size_t at);

    std::u32string text_;
    size_t caret_ = 0;
    size_t anchor_ = 0;
    Snapshot undo_;
    bool canUndo_ = false;
    bool typingRun_ = false;  // keystrokes since the last move or other edit
};

}  // namespace platform::x11
