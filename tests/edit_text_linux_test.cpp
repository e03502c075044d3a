// The Linux program's edit box text: selection, word boundaries, the width
// limit, what counts as a change and the one level of undo, as the Windows
// edit control has them.
#include "platform/linux/edit_text_linux.h"

#include <gtest/gtest.h>

namespace {

using platform::x11::EditText;

// A box that holds at most `n` characters.
EditText::Fits atMost(size_t n) {
    return [n](std::u32string_view line) { return line.size() <= n; };
}

TEST(EditTextLinux, WordsAreSeparatedBySpacesOnly) {
    const std::u32string text = U"ab cd.ef  gh";
    EXPECT_EQ(3u, platform::x11::nextWordStart(text, 0));
    EXPECT_EQ(10u, platform::x11::nextWordStart(text, 4));
    EXPECT_EQ(12u, platform::x11::nextWordStart(text, 11));
    EXPECT_EQ(3u, platform::x11::previousWordStart(text, 10));
    EXPECT_EQ(0u, platform::x11::previousWordStart(text, 3));
    EXPECT_EQ(0u, platform::x11::previousWordStart(text, 0));

    EditText edit(U"ab cd\u3000テスト");
    edit.selectWordAt(1);  // a double click on "b": the word and the space after it
    EXPECT_EQ(U"ab ", edit.selectedText());
    edit.selectWordAt(7);
    EXPECT_EQ(U"テスト", edit.selectedText());
    EditText empty;
    empty.selectWordAt(0);
    EXPECT_FALSE(empty.hasSelection());
}

TEST(EditTextLinux, ArrowsGoFromTheCaretAndDropTheSelection) {
    EditText edit(U"ab cd");
    edit.moveTo(0, false);
    edit.moveRight(true, false);
    edit.moveRight(true, false);
    EXPECT_EQ(U"ab", edit.selectedText());
    edit.moveLeft(false, false);
    EXPECT_FALSE(edit.hasSelection());
    EXPECT_EQ(1u, edit.caret());
    edit.moveTo(99, true);  // Shift+End past the end
    EXPECT_EQ(U"b cd", edit.selectedText());
    edit.moveLeft(true, true);  // Shift+Ctrl+Left shrinks it to the word before the caret
    EXPECT_EQ(U"b ", edit.selectedText());
}

TEST(EditTextLinux, ReplacingKeepsWhatFitsAndSaysWhetherItChangedAnything) {
    EditText edit(U"abcd");
    edit.moveTo(1, false);
    edit.moveTo(3, true);
    EXPECT_TRUE(edit.replaceSelection(U"xyz", atMost(4), false));
    EXPECT_EQ(U"axyd", edit.text());
    EXPECT_EQ(3u, edit.caret());
    EXPECT_FALSE(edit.replaceSelection(U"q", atMost(4), true));  // full, nothing selected
    EXPECT_FALSE(edit.replaceSelection(U"", atMost(4), false));
    EXPECT_FALSE(edit.replaceSelection(U"\r\nq", atMost(9), false));  // first line only

    edit.selectAll();
    EXPECT_TRUE(edit.replaceSelection(U"\tk\nm", atMost(9), false));  // control characters out
    EXPECT_EQ(U"k", edit.text());
    edit.selectAll();
    EXPECT_TRUE(edit.replaceSelection(U"k", atMost(9), true));  // the same text: still a change

    EditText none(U"ab");
    EXPECT_FALSE(none.eraseForward());
    EXPECT_FALSE(none.eraseSelection());
    none.moveTo(0, false);
    EXPECT_FALSE(none.eraseBackward());
    EXPECT_FALSE(none.undo());
    EXPECT_TRUE(none.eraseForward());
    EXPECT_EQ(U"b", none.text());
}

TEST(EditTextLinux, UndoTakesBackARunOfKeysOrOneOtherEditAndThenItself) {
    EditText edit(U"abcd");
    edit.moveTo(2, false);
    edit.eraseBackward();
    edit.eraseForward();
    edit.replaceSelection(U"x", atMost(9), true);
    EXPECT_EQ(U"axd", edit.text());
    EXPECT_TRUE(edit.undo());
    EXPECT_EQ(U"abcd", edit.text());
    EXPECT_EQ(2u, edit.caret());
    EXPECT_TRUE(edit.undo());  // the undo undone
    EXPECT_EQ(U"axd", edit.text());

    edit.replaceSelection(U"yy", atMost(9), false);  // a paste is an edit of its own
    edit.moveTo(0, false);
    edit.replaceSelection(U"z", atMost(9), true);  // so is typing after a move
    EXPECT_TRUE(edit.undo());
    EXPECT_EQ(U"axyyd", edit.text());
}

}  // namespace
