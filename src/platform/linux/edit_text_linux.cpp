#include "platform/linux/edit_text_linux.h"

#include <algorithm>

namespace platform::x11 {
namespace {

constexpr char32_t kDeleteCharacter = 0x7F;

bool isSpace(char32_t character) {
    return character == U' ' || character == U'\t' || character == U'\u3000';
}

}  // namespace

size_t nextWordStart(std::u32string_view text, size_t at) {
    at = std::min(at, text.size());
    while (at < text.size() && !isSpace(text[at])) ++at;
    while (at < text.size() && isSpace(text[at])) ++at;
    return at;
}

size_t previousWordStart(std::u32string_view text, size_t at) {
    at = std::min(at, text.size());
    while (at > 0 && isSpace(text[at - 1])) --at;
    while (at > 0 && !isSpace(text[at - 1])) --at;
    return at;
}

EditText::EditText(std::u32string text)
    : text_(std::move(text)), caret_(text_.size()), anchor_(caret_) {}

std::u32string EditText::selectedText() const {
    return text_.substr(selectionStart(), selectionEnd() - selectionStart());
}

void EditText::moveTo(size_t at, bool extend) {
    caret_ = std::min(at, text_.size());
    if (!extend) anchor_ = caret_;
    typingRun_ = false;
}

void EditText::moveLeft(bool extend, bool byWord) {
    const size_t to = byWord ? previousWordStart(text_, caret_) : caret_ - (caret_ > 0 ? 1 : 0);
    moveTo(to, extend);
}

void EditText::moveRight(bool extend, bool byWord) {
    const size_t to = byWord ? nextWordStart(text_, caret_) : caret_ + 1;
    moveTo(to, extend);
}

void EditText::selectAll() {
    anchor_ = 0;
    caret_ = text_.size();
    typingRun_ = false;
}

void EditText::selectWordAt(size_t at) {
    const size_t start = previousWordStart(text_, std::min(at + 1, text_.size()));
    anchor_ = start;
    caret_ = nextWordStart(text_, start);
    typingRun_ = false;
}

void EditText::beginEdit(bool keystroke) {
    if (!keystroke || !typingRun_) {
        undo_ = snapshot();
        canUndo_ = true;
    }
    typingRun_ = keystroke;
}

void EditText::collapseTo(size_t at) {
    caret_ = at;
    anchor_ = at;
}

bool EditText::replaceSelection(std::u32string_view typed, const Fits& fits, bool keystroke) {
    std::u32string line = text_;
    const size_t start = selectionStart();
    line.erase(start, selectionEnd() - start);
    size_t at = start;
    for (char32_t character : typed) {
        if (character == U'\r' || character == U'\n') break;
        if (character < 0x20 || character == kDeleteCharacter) continue;
        line.insert(at, 1, character);
        if (!fits(line)) {
            line.erase(at, 1);
            break;
        }
        ++at;
    }
    if (!hasSelection() && at == start) return false;
    beginEdit(keystroke);
    text_ = std::move(line);
    collapseTo(at);
    return true;
}

bool EditText::eraseBackward() {
    if (!hasSelection() && caret_ == 0) return false;
    beginEdit(true);
    if (!hasSelection()) anchor_ = caret_ - 1;
    const size_t start = selectionStart();
    text_.erase(start, selectionEnd() - start);
    collapseTo(start);
    return true;
}

bool EditText::eraseForward() {
    if (!hasSelection() && caret_ >= text_.size()) return false;
    beginEdit(true);
    if (!hasSelection()) anchor_ = caret_ + 1;
    const size_t start = selectionStart();
    text_.erase(start, selectionEnd() - start);
    collapseTo(start);
    return true;
}

bool EditText::eraseSelection() {
    if (!hasSelection()) return false;
    beginEdit(false);
    const size_t start = selectionStart();
    text_.erase(start, selectionEnd() - start);
    collapseTo(start);
    return true;
}

bool EditText::undo() {
    if (!canUndo_) return false;
    Snapshot before = snapshot();
    text_ = std::move(undo_.text);
    caret_ = std::min(undo_.caret, text_.size());
    anchor_ = std::min(undo_.anchor, text_.size());
    undo_ = std::move(before);
    typingRun_ = false;
    return true;
}

}  // namespace platform::x11
