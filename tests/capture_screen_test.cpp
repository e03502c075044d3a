#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "capture/screen_capture.h"
#include "capture_test_support.h"
#include "controls/viewer_state.h"
#include "fake/fake_platform.h"
#include "render/model_mesh.h"

namespace {

using capture_test::CaptureTest;
using capture_test::kFeedbackName;
using capture_test::kSaveFolder;
using capture_test::read32;

std::string snapshotName(const std::string& prefixAndNumber) {
    return kSaveFolder + prefixAndNumber + ".bmp";
}

std::vector<std::string> filesOpened() {
    std::vector<std::string> names;
    for (const fake::Call& call : fake::state().calls)
        if (call.name == "CreateFileA") names.push_back(call.args.at(0));
    return names;
}

TEST_F(CaptureTest, FeedbackModeWritesTheGrabOfThePanelsRectangleAs46230Bytes) {
    captureScreen();
    const std::vector<uint8_t>* bytes = file(kFeedbackName);
    ASSERT_NE(bytes, nullptr);
    ASSERT_EQ(bytes->size(), 46230u);
    EXPECT_EQ(read32(*bytes, 18), 138u);
    EXPECT_EQ(read32(*bytes, 22), 111u);
    EXPECT_EQ(viewerState().panelRect, (platform::Rect{0, 0, 177, 152}));
    // The grab is asked for the rectangle 35/37 inside the panel, 4 inside the rest.
    const fake::Call* grab = fake::state().find("grabScreen");
    ASSERT_NE(grab, nullptr);
    EXPECT_EQ(grab->text(), "grabScreen(35, 37, 173, 148, &, 46176)");
    // The first data row is the bottom row of the rectangle (y = 147); x runs from 35.
    EXPECT_EQ((*bytes)[54], 35);
    EXPECT_EQ((*bytes)[55], 147);
    EXPECT_EQ((*bytes)[56], 0x80);
    const size_t lastRow = 54 + 110 * 416;
    EXPECT_EQ((*bytes)[lastRow + 137 * 3], 172);  // x = 35 + 137
    EXPECT_EQ((*bytes)[lastRow + 137 * 3 + 1], 37);
}

TEST_F(CaptureTest, FeedbackModeNeverTouchesPrefixOrCounterAndIsRewrittenInPlace) {
    typePrefix("abc");
    viewerState().snapshotCounter = 7;
    captureScreen();
    captureScreen();
    EXPECT_EQ(std::string(viewerState().snapshotPrefix), "");
    EXPECT_EQ(viewerState().snapshotCounter, 7);
    EXPECT_EQ(fake::state().count("GetDlgItemTextA"), 0u);
    EXPECT_EQ(filesOpened(), (std::vector<std::string>{kFeedbackName, kFeedbackName}));
    EXPECT_EQ(file(kFeedbackName)->size(), 46230u);
    EXPECT_FALSE(viewerState().lastSnapshotFailed);
}

TEST_F(CaptureTest, SnapshotsAreNumberedFromZeroWithThePrefixReadFromTheBoxEachTime) {
    viewerState().captureMode = 2;
    captureScreen();
    EXPECT_EQ(filesOpened(), (std::vector<std::string>{snapshotName("0")}));
    EXPECT_EQ(viewerState().snapshotCounter, 1);
    EXPECT_NE(file(snapshotName("0")), nullptr);
    EXPECT_EQ(file(kFeedbackName), nullptr);  // a snapshot leaves the feedback image alone

    const fake::Call* prefixRead = fake::state().find("GetDlgItemTextA");
    ASSERT_NE(prefixRead, nullptr);
    EXPECT_EQ(prefixRead->args.at(1), "1002");
    EXPECT_EQ(prefixRead->args.at(3), "256");

    typePrefix("cat");  // typed without the box's change reaching the counter
    captureScreen();
    EXPECT_EQ(std::string(viewerState().snapshotPrefix), "cat");
    EXPECT_EQ(file(snapshotName("cat1"))->size(), 46230u);
    EXPECT_EQ(viewerState().snapshotCounter, 2);
}

TEST_F(CaptureTest, TheButtonsModeAndTheKeysModeGiveTheSameFiles) {
    typePrefix("p");
    viewerState().captureMode = 1;
    captureScreen();
    const std::vector<uint8_t> byButton = *file(snapshotName("p0"));
    const std::vector<std::string> buttonLog = fake::state().log();

    viewerState() = ViewerState{};
    viewerState().panelWindow = fake::state().windowTitled("com");
    fake::state().files.clear();
    fake::state().clearLog();
    viewerState().captureMode = 2;
    captureScreen();
    EXPECT_EQ(*file(snapshotName("p0")), byButton);
    EXPECT_EQ(fake::state().names().size(), buttonLog.size());
}

TEST_F(CaptureTest, TheModelIsReplacedAfterTheFileIsClosedOldOneFirstInBothModes) {
    viewerState().model = std::make_unique<ModelMesh>();
    viewerState().model->load("model.x");
    for (uint16_t mode : {uint16_t{0}, uint16_t{2}}) {
        SCOPED_TRACE(mode);
        fake::state().clearLog();
        viewerState().captureMode = mode;
        captureScreen();
        const std::vector<std::string> order = fake::state().namesMatching(
            {"CloseHandle", "Mesh#", "Texture#", "D3DXLoadMeshFromX", "D3DXCreateTexture"});
        ASSERT_GE(order.size(), 5u);
        EXPECT_EQ(order[0], "CloseHandle");
        // Texture and mesh of the old model are released before the new load.
        const auto load = std::find(order.begin(), order.end(), "D3DXLoadMeshFromX");
        ASSERT_NE(load, order.end());
        EXPECT_EQ(std::count_if(order.begin(), load,
                                [](const std::string& n) { return n.ends_with(".Release"); }),
                  2);
        EXPECT_EQ(order.back(), "D3DXCreateTextureFromFile");
        ASSERT_NE(viewerState().model, nullptr);
        EXPECT_EQ(viewerState().model->materialCount, 1u);
    }
    EXPECT_EQ(fake::state().overReleases, 0);
    viewerState().model.reset();
    EXPECT_EQ(fake::state().liveObjects, 0);
}

TEST_F(CaptureTest, ASnapshotThatCannotBeWrittenIsReportedAndTheNextSavedOneClearsIt) {
    viewerState().captureMode = 2;
    fake::state().unopenableFiles.insert(snapshotName("0"));
    captureScreen();
    EXPECT_TRUE(viewerState().lastSnapshotFailed);
    EXPECT_EQ(std::string(viewerState().failedSnapshotName), snapshotName("0"));
    EXPECT_EQ(viewerState().snapshotCounter, 1);  // the number still advances
    EXPECT_NE(viewerState().model, nullptr);      // and the model still reloads

    captureScreen();  // 1.bmp can be written
    EXPECT_FALSE(viewerState().lastSnapshotFailed);
    EXPECT_EQ(file(snapshotName("1"))->size(), 46230u);
    EXPECT_EQ(viewerState().snapshotCounter, 2);

    fake::state().writeBudget = 54 + 1000;  // the disk fills up during the pixels
    captureScreen();
    EXPECT_TRUE(viewerState().lastSnapshotFailed);
    EXPECT_EQ(std::string(viewerState().failedSnapshotName), snapshotName("2"));
}

TEST_F(CaptureTest, AFeedbackImageThatCannotBeWrittenLeavesTheSnapshotStatusAlone) {
    viewerState().lastSnapshotFailed = true;
    fake::state().unopenableFiles.insert(kFeedbackName);
    captureScreen();
    EXPECT_TRUE(viewerState().lastSnapshotFailed);
    EXPECT_NE(viewerState().model, nullptr);
}

TEST_F(CaptureTest, ANameTooLongForItsBufferIsNotWrittenButReportedCutAtACharacter) {
    // 25 bytes of folder, the prefix, "0" and ".bmp": 226 prefix bytes give
    // exactly 256 bytes, one too many; 225 just fit.
    viewerState().captureMode = 2;
    typePrefix(std::string(225, 'a'));
    captureScreen();
    EXPECT_FALSE(viewerState().lastSnapshotFailed);
    EXPECT_EQ(filesOpened().at(0).size(), 255u);

    fake::state().clearLog();
    typePrefix(std::string(230, 'a'));
    captureScreen();
    EXPECT_TRUE(filesOpened().empty());
    EXPECT_TRUE(viewerState().lastSnapshotFailed);
    EXPECT_EQ(std::string(viewerState().failedSnapshotName).size(), 255u);
    EXPECT_EQ(viewerState().snapshotCounter, 2);

    // A cut that would split a two-byte character drops its first byte.
    fake::state().clearLog();
    std::string prefix = "a";
    for (int i = 0; i < 127; ++i) prefix += "\x82\xa0";  // "あ" × 127
    typePrefix(prefix);
    captureScreen();
    const std::string reported = viewerState().failedSnapshotName;
    EXPECT_TRUE(viewerState().lastSnapshotFailed);
    EXPECT_EQ(reported.size(), 254u);  // 25 + "a" + 114 × 2: the 115th character would not fit
    EXPECT_EQ(reported.back(), '\xa0');
}

}  // namespace
