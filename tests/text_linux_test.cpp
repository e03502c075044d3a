// The Linux program's code page 932 conversions: file names and texts go
// to X and the file system as UTF-8 and come back from the prefix box.
#include "platform/linux/text_linux.h"

#include <gtest/gtest.h>

namespace {

using platform::x11::cp932FromUtf8;
using platform::x11::utf8FromCp932;

// "フィルター.bmp" as the program writes it, and as UTF-8.
constexpr char kFeedbackCp932[] = "\x83\x74\x83\x42\x83\x8B\x83\x5E\x81\x5B.bmp";
constexpr char kFeedbackUtf8[] = "\xE3\x83\x95\xE3\x82\xA3\xE3\x83\xAB\xE3\x82\xBF\xE3\x83\xBC.bmp";

TEST(TextLinux, Cp932NamesRoundTripAsWindowsReadsThem) {
    EXPECT_EQ(kFeedbackUtf8, utf8FromCp932(kFeedbackCp932));
    EXPECT_EQ(kFeedbackCp932, cp932FromUtf8(kFeedbackUtf8));
    // Code page 932 keeps ASCII as it is: a backslash is no yen sign, a
    // tilde no overline, and "～" (81 60) is the full-width tilde.
    EXPECT_EQ("a\\b~", utf8FromCp932("a\\b~"));
    EXPECT_EQ("\xEF\xBD\x9E", utf8FromCp932("\x81\x60"));
    EXPECT_EQ("\x81\x60", cp932FromUtf8("\xEF\xBD\x9E"));
}

TEST(TextLinux, InvalidCp932IsRefusedAndUnrepresentableUtf8BecomesQuestionMarks) {
    EXPECT_EQ(std::nullopt, utf8FromCp932("ab\x83"));         // a lead byte at the end
    EXPECT_EQ(std::nullopt, utf8FromCp932("\xA0\x81\x20"));   // no such bytes
    EXPECT_EQ("caf?.bmp", cp932FromUtf8("caf\xC3\xA9.bmp"));  // é
    EXPECT_EQ("a?b", cp932FromUtf8("a\xF0\x9F\x98\x80"
                                   "b"));          // one character, one mark
    EXPECT_EQ("a??", cp932FromUtf8("a\x80\xFF"));  // bytes that are no UTF-8
}

}  // namespace
