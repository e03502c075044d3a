#include "render/status_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "controls/viewer_state.h"

namespace {

// The pieces of the lines, put together independently of the program's
// literals. U+3000 is 81 40 in code page 932.
std::string ideographicSpaces(int count) {
    std::string spaces;
    for (int i = 0; i < count; ++i) spaces += "\x81\x40";
    return spaces;
}

std::string expectedKeyHelp() {
    const std::string s1 = ideographicSpaces(1);
    return "\x83\x4c\x81\x5b\x83\x7b\x81\x5b\x83\x68:" + s1 + "1 2" + ideographicSpaces(4) + "3 4" +
           ideographicSpaces(4) + "5 6" + ideographicSpaces(17) + "7 U " + s1 + " " +
           ideographicSpaces(2) + "8 I " + s1 + " " + "9 O" + s1 + "  " + "0 P";
}

std::string expectedTintLine(const std::string& red, const std::string& green,
                             const std::string& blue, const std::string& alpha,
                             const std::string& ambientRed, const std::string& ambientGreen,
                             const std::string& ambientBlue) {
    const std::string s1 = ideographicSpaces(1);
    return ideographicSpaces(5) + "[\x90\xd4 " + red + "]" + s1 + "[\x97\xce " + green + "]" + s1 +
           "[\x90\xc2 " + blue + "]" + ideographicSpaces(13) + " " + "[\x93\xa7\x96\xbe " + alpha +
           "]" + s1 + "  " + s1 + ambientRed + " " + s1 + " " + ambientGreen + " " + s1 + " " +
           ambientBlue;
}

// " で保存しました"
const std::string kSavedSuffix = " \x82\xc5\x95\xdb\x91\xb6\x82\xb5\x82\xdc\x82\xb5\x82\xbd";

// A line buffer with a guard zone behind it, to catch any write past 256.
struct GuardedLine {
    GuardedLine() { std::memset(bytes, '#', sizeof bytes); }
    char bytes[256 + 64];
    char* line() { return bytes; }
    bool guardIntact() const {
        for (size_t i = 256; i < sizeof bytes; ++i)
            if (bytes[i] != '#') return false;
        return true;
    }
};

TEST(StatusTextTest, KeyHelpLineIsItsHundredBytes) {
    EXPECT_EQ(sizeof kKeyHelpText, 101u);
    EXPECT_EQ(sizeof kTintLineFormat, 92u);
    char line[256];
    formatKeyHelpLine(line, sizeof line);
    EXPECT_EQ(std::string(line), expectedKeyHelp());
    EXPECT_EQ(std::strlen(line), 100u);
}

TEST(StatusTextTest, TintLineOfAFreshStateShowsTheStartingValues) {
    const ViewerState state;
    char line[256];
    formatTintLine(line, sizeof line, state);
    EXPECT_EQ(std::string(line), expectedTintLine("250", "250", "250", "50", "99", "99", "99"));
    EXPECT_EQ(std::strlen(line), 94u);
}

TEST(StatusTextTest, TintLineWidensUnsignedFieldsByZeroAndAlphaBySign) {
    ViewerState state;
    state.tintRed = 65535;
    state.tintGreen = 32768;
    state.tintBlue = 65535;
    state.tintAlpha = -32768;
    state.ambientRedPercent = 65535;
    state.ambientGreenPercent = 65535;
    state.ambientBluePercent = 65535;
    GuardedLine buffer;
    formatTintLine(buffer.line(), 256, state);
    const std::string line = buffer.line();
    EXPECT_EQ(line,
              expectedTintLine("65535", "32768", "65535", "-32768", "65535", "65535", "65535"));
    EXPECT_EQ(line.size(), 113u);  // the widest the line can get
    EXPECT_TRUE(buffer.guardIntact());
}

TEST(StatusTextTest, NoSaveLineBeforeTheFirstSnapshot) {
    const ViewerState state;
    char line[256] = "untouched";
    EXPECT_FALSE(formatSaveLine(line, sizeof line, state));
    EXPECT_STREQ(line, "untouched");
}

TEST(StatusTextTest, SaveLineNamesTheLastSnapshotWritten) {
    ViewerState state;
    std::strcpy(state.snapshotPrefix, "abc");
    state.snapshotCounter = 1;
    char line[256];
    ASSERT_TRUE(formatSaveLine(line, sizeof line, state));
    EXPECT_EQ(std::string(line), "abc0" + kSavedSuffix);

    std::strcpy(state.snapshotPrefix, "");
    state.snapshotCounter = 3;
    ASSERT_TRUE(formatSaveLine(line, sizeof line, state));
    EXPECT_EQ(std::string(line), "2" + kSavedSuffix);

    // A Japanese prefix passes as its bytes: "写真"
    std::strcpy(state.snapshotPrefix, "\x8e\xca\x90\x5e");
    state.snapshotCounter = 12;
    ASSERT_TRUE(formatSaveLine(line, sizeof line, state));
    EXPECT_EQ(std::string(line),
              "\x8e\xca\x90\x5e"
              "11" +
                  kSavedSuffix);
}

TEST(StatusTextTest, ALongPrefixCutsTheSaveLineInsteadOfOverrunningIt) {
    ViewerState state;
    std::memset(state.snapshotPrefix, 'x', 255);
    state.snapshotPrefix[255] = '\0';
    state.snapshotCounter = 1;
    GuardedLine buffer;
    ASSERT_TRUE(formatSaveLine(buffer.line(), 256, state));
    EXPECT_EQ(std::string(buffer.line()), std::string(255, 'x'));
    EXPECT_TRUE(buffer.guardIntact());

    // A prefix whose bytes leave room for the number only.
    std::memset(state.snapshotPrefix, 'y', 240);
    state.snapshotPrefix[240] = '\0';
    state.snapshotCounter = 2147483647;
    ASSERT_TRUE(formatSaveLine(buffer.line(), 256, state));
    EXPECT_EQ(std::string(buffer.line()),
              std::string(240, 'y') + "2147483646" + " \x82\xc5\x95\xdb");
    EXPECT_TRUE(buffer.guardIntact());
}

TEST(StatusTextTest, ACutNeverEndsInHalfACharacter) {
    ViewerState state;
    // 126 times "あ" (82 A0): 252 bytes, then "0 " fills 254 and the cut at
    // 255 would keep only the first byte of "で".
    for (int i = 0; i < 126; ++i) std::memcpy(state.snapshotPrefix + 2 * i, "\x82\xa0", 2);
    state.snapshotCounter = 1;
    char line[256];
    ASSERT_TRUE(formatSaveLine(line, sizeof line, state));
    EXPECT_EQ(std::strlen(line), 254u);
    EXPECT_EQ(std::string(line).substr(252), "0 ");
}

TEST(StatusTextTest, AFailedSnapshotIsReportedInsteadOfTheConfirmation) {
    ViewerState state;
    std::strcpy(state.snapshotPrefix, "abc");
    state.snapshotCounter = 2;
    state.lastSnapshotFailed = true;
    std::strcpy(state.failedSnapshotName, "abc1.bmp");
    char line[256];
    ASSERT_TRUE(formatSaveLine(line, sizeof line, state));
    // "abc1.bmp の保存に失敗しました"
    EXPECT_EQ(std::string(line),
              "abc1.bmp \x82\xcc\x95\xdb\x91\xb6\x82\xc9\x8e\xb8\x94\x73\x82\xb5\x82\xdc\x82\xb5"
              "\x82\xbd");

    // Shown even after the numbering restarted.
    state.snapshotCounter = 0;
    EXPECT_TRUE(formatSaveLine(line, sizeof line, state));

    // A name that fills its field to the last byte is still read no further.
    std::memset(state.failedSnapshotName, 'z', sizeof state.failedSnapshotName);
    GuardedLine buffer;
    ASSERT_TRUE(formatSaveLine(buffer.line(), 256, state));
    EXPECT_EQ(std::string(buffer.line()), std::string(255, 'z'));
    EXPECT_TRUE(buffer.guardIntact());
}

}  // namespace
