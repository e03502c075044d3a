// Snapshot names that would not be a file of their own in the save folder:
// path separators, characters no Windows file name may hold, device names.
// Such a snapshot is not written and is reported as failed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "capture/screen_capture.h"
#include "capture/snapshot_name.h"
#include "capture_test_support.h"
#include "controls/viewer_state.h"
#include "fake/fake_platform.h"

namespace {

using capture_test::CaptureTest;
using capture_test::kSaveFolder;

TEST(PlainSnapshotNameTest, OrdinaryAndJapanesePrefixesArePlain) {
    EXPECT_TRUE(isPlainSnapshotName("", 0));
    EXPECT_TRUE(isPlainSnapshotName("cat", 12));
    EXPECT_TRUE(isPlainSnapshotName("a b.c-d_e(1)", 3));
    // "表" and "ソ" end in 0x5C, the backslash, as their second byte.
    EXPECT_TRUE(isPlainSnapshotName("\x95\x5c", 0));
    EXPECT_TRUE(isPlainSnapshotName("\x83\x5c\x83\x74\x83\x67", 1));
    // "抜き取り" with a trailing ASCII space.
    EXPECT_TRUE(isPlainSnapshotName("\x94\xb2\x82\xab\x8e\xe6\x82\xe8 ", 7));
    EXPECT_TRUE(isPlainSnapshotName("x", -5));  // the minus of a wrapped number
}

TEST(PlainSnapshotNameTest, SeparatorsAndForbiddenCharactersAreNot) {
    for (const char* prefix :
         {"a/b", "..\\", "../", "\\", "x:y", "C:", "*", "?", "\"", "<", ">", "|", "a\tb", "\x01"}) {
        SCOPED_TRACE(prefix);
        EXPECT_FALSE(isPlainSnapshotName(prefix, 0));
    }
    // A backslash after a complete two-byte character is a separator again.
    EXPECT_FALSE(isPlainSnapshotName("\x95\x5c\\", 0));
    // A lead byte at the very end takes the NUL for its second byte: nothing
    // after it is looked at, and the name stays plain.
    EXPECT_TRUE(isPlainSnapshotName("a\x95", 0));
}

TEST(PlainSnapshotNameTest, DeviceNamesAreNot) {
    EXPECT_FALSE(isPlainSnapshotName("COM", 1));
    EXPECT_FALSE(isPlainSnapshotName("com", 9));
    EXPECT_FALSE(isPlainSnapshotName("Lpt", 0));
    EXPECT_FALSE(isPlainSnapshotName("CON.", 0));    // "CON.0.bmp"
    EXPECT_FALSE(isPlainSnapshotName("nul .x", 2));  // "nul .x2.bmp"
    EXPECT_FALSE(isPlainSnapshotName("aux..", 4));
    EXPECT_TRUE(isPlainSnapshotName("COM", 10));  // COM10 is a file name
    EXPECT_TRUE(isPlainSnapshotName("CON", 0));   // CON0 too
    EXPECT_TRUE(isPlainSnapshotName("xCOM", 1));
    EXPECT_TRUE(isPlainSnapshotName("COM1x", 0));
}

std::vector<std::string> filesOpened() {
    std::vector<std::string> names;
    for (const fake::Call& call : fake::state().calls)
        if (call.name == "CreateFileA") names.push_back(call.args.at(0));
    return names;
}

TEST_F(CaptureTest, ASnapshotWhoseNameLeavesTheFolderIsNotWrittenButReported) {
    viewerState().captureMode = 2;
    typePrefix("..\\");
    captureScreen();
    EXPECT_TRUE(filesOpened().empty());
    EXPECT_TRUE(viewerState().lastSnapshotFailed);
    EXPECT_EQ(std::string(viewerState().failedSnapshotName), kSaveFolder + "..\\0.bmp");
    EXPECT_EQ(viewerState().snapshotCounter, 1);  // the number advances all the same
    EXPECT_NE(viewerState().model, nullptr);

    // The next prefix that is a plain name saves again and clears the report.
    typePrefix("ok");
    viewerState().snapshotCounter = 0;
    fake::state().clearLog();
    captureScreen();
    EXPECT_EQ(filesOpened(), (std::vector<std::string>{kSaveFolder + "ok0.bmp"}));
    EXPECT_FALSE(viewerState().lastSnapshotFailed);
}

TEST_F(CaptureTest, ASnapshotNamedLikeADeviceIsNotWritten) {
    // "COM" is a plain name for the first snapshot (COM0 is reserved too),
    // then COM1, COM2: every one of them a serial port on Windows.
    viewerState().captureMode = 1;
    typePrefix("COM");
    for (int i = 0; i < 3; ++i) {
        fake::state().clearLog();
        captureScreen();
        EXPECT_TRUE(filesOpened().empty()) << i;
        EXPECT_TRUE(viewerState().lastSnapshotFailed) << i;
    }
    typePrefix("COM1");  // COM10.bmp, COM11.bmp: files
    viewerState().snapshotCounter = 10;
    fake::state().clearLog();
    captureScreen();
    EXPECT_EQ(filesOpened(), (std::vector<std::string>{kSaveFolder + "COM110.bmp"}));
    EXPECT_FALSE(viewerState().lastSnapshotFailed);
}

}  // namespace
