#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "capture_test_support.h"
#include "controls/apply_keys.h"
#include "controls/keyboard.h"
#include "controls/viewer_state.h"
#include "controls/virtual_keys.h"
#include "fake/fake_platform.h"

namespace {

using capture_test::CaptureTest;
using capture_test::kFeedbackName;
using capture_test::kSaveFolder;
using keys::key;

constexpr int16_t kDown = static_cast<int16_t>(0x8000);

class PollControlsTest : public CaptureTest {
protected:
    // Holds a key down in the source the program should read it from.
    void press(int32_t virtualKey) {
        if (keys::readsPhysicalState(virtualKey))
            fake::state().asyncKeyState[virtualKey] = kDown;
        else
            fake::state().keyState[virtualKey] = kDown;
    }
    void releaseAll() {
        fake::state().asyncKeyState.clear();
        fake::state().keyState.clear();
    }
};

TEST_F(PollControlsTest, LettersAndMainDigitsAreReadPhysicallyAndEveryOtherKeyFromTheQueue) {
    pollControls();
    std::vector<int32_t> asyncKeys;
    std::vector<int32_t> queueKeys;
    for (const fake::Call& call : fake::state().calls) {
        if (call.name == "GetAsyncKeyState") asyncKeys.push_back(std::stoi(call.args.at(0)));
        if (call.name == "GetKeyState") queueKeys.push_back(std::stoi(call.args.at(0)));
    }
    // One query per bound key: 22 letters and digits, 22 other keys.
    EXPECT_EQ(asyncKeys.size(), 22u);
    EXPECT_EQ(queueKeys.size(), 22u);
    for (int32_t k : asyncKeys) EXPECT_TRUE((k >= '0' && k <= '9') || (k >= 'A' && k <= 'Z')) << k;
    for (char c : std::string("DAWSQEZCIOPU0123456789"))
        EXPECT_EQ(std::count(asyncKeys.begin(), asyncKeys.end(), key(c)), 1) << c;
    for (int32_t k : {keys::kEscape,       keys::kNumpad1,   keys::kNumpad2,    keys::kNumpad3,
                      keys::kNumpad4,      keys::kNumpad6,   keys::kNumpad7,    keys::kNumpad8,
                      keys::kNumpad9,      keys::kAdd,       keys::kSubtract,   keys::kMultiply,
                      keys::kDivide,       keys::kLeftShift, keys::kRightShift, keys::kLeftControl,
                      keys::kRightControl, keys::kF5,        keys::kLeft,       keys::kRight,
                      keys::kUp,           keys::kDown})
        EXPECT_EQ(std::count(queueKeys.begin(), queueKeys.end(), k), 1) << k;
}

TEST_F(PollControlsTest, AKeyActsOnlyThroughItsOwnSourceAndOnlyWithItsTopBit) {
    fake::state().keyState[key('D')] = kDown;             // the wrong source for D
    fake::state().asyncKeyState[keys::kNumpad8] = kDown;  // the wrong source for keypad 8
    fake::state().asyncKeyState[key('S')] = 1;            // toggled, not down
    fake::state().keyState[keys::kF5] = 1;
    pollControls();
    EXPECT_EQ(viewerState().overlayX, 20);
    EXPECT_EQ(viewerState().overlayY, 84);
    EXPECT_EQ(viewerState().eyeStep, 0.0f);
    EXPECT_EQ(fake::state().count("CreateFileA"), 0u);

    releaseAll();
    press(key('D'));
    press(keys::kNumpad8);
    fake::state().asyncKeyState[key('S')] = static_cast<int16_t>(0x8001);
    pollControls();
    EXPECT_EQ(viewerState().overlayX, 23);
    EXPECT_EQ(viewerState().overlayY, 87);
    EXPECT_EQ(viewerState().eyeStep, 0.04f);
}

TEST_F(PollControlsTest, RequestsArePerformedQuitThenSnapshotThenMovesInArrowOrder) {
    press(keys::kEscape);
    press(keys::kF5);
    press(keys::kDown);
    press(keys::kLeft);
    pollControls();
    const std::vector<std::string> order =
        fake::state().namesMatching({"PostQuitMessage", "CreateFileA", "MoveWindow"});
    EXPECT_EQ(order, (std::vector<std::string>{"PostQuitMessage", "CreateFileA", "MoveWindow",
                                               "MoveWindow"}));
    EXPECT_EQ(fake::state().find("PostQuitMessage")->text(), "PostQuitMessage(0)");
    const std::string panel = fake::handleName(viewerState().panelWindow);
    EXPECT_EQ(fake::state().find("MoveWindow", 0)->text(),
              "MoveWindow(" + panel + ", -1, 0, 177, 152, 1)");
    EXPECT_EQ(fake::state().find("MoveWindow", 1)->text(),
              "MoveWindow(" + panel + ", -1, 1, 177, 152, 1)");
    EXPECT_EQ(fake::state().windows[viewerState().panelWindow].rect,
              (platform::Rect{-1, 1, 176, 153}));
    EXPECT_EQ(fake::state().find("CreateFileA")->args.at(0), kSaveFolder + "0.bmp");
}

TEST_F(PollControlsTest, F5HeldThreeFramesWritesThreeNumberedSnapshotsAndReloadsEachTime) {
    press(keys::kF5);
    for (int i = 0; i < 3; ++i) {
        viewerState().captureMode = 0;
        pollControls();
        EXPECT_EQ(viewerState().captureMode, 2);
    }
    EXPECT_EQ(viewerState().snapshotCounter, 3);
    for (const char* number : {"0", "1", "2"})
        EXPECT_EQ(file(kSaveFolder + number + ".bmp")->size(), 46230u) << number;
    EXPECT_EQ(fake::state().count("D3DXLoadMeshFromX"), 3u);
    EXPECT_EQ(file(kFeedbackName), nullptr);
    EXPECT_FALSE(viewerState().lastSnapshotFailed);
}

TEST_F(PollControlsTest, WhenThePanelRectangleCannotBeFetchedTheLastOneIsUsed) {
    viewerState().panelRect = {10, 20, 187, 172};
    platform::DestroyWindow(viewerState().panelWindow);
    fake::state().windows[viewerState().panelWindow].alive = false;
    press(keys::kRight);
    pollControls();
    EXPECT_EQ(fake::state().find("MoveWindow")->args.at(1), "11");
    EXPECT_EQ(fake::state().find("MoveWindow")->args.at(2), "20");
}

}  // namespace
