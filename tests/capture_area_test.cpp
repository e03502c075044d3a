#include "capture/capture_area.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "capture/bmp_file.h"
#include "capture/screen_capture.h"
#include "capture_test_support.h"
#include "controls/viewer_state.h"
#include "fake/fake_platform.h"

namespace {

using capture_test::CaptureTest;
using capture_test::kFeedbackName;
using capture_test::kSaveFolder;
using capture_test::patternColour;
using capture_test::read32;

// The colour a file holds at column `x`, row `y` counted from the top.
uint32_t pixelAt(const std::vector<uint8_t>& bytes, int32_t x, int32_t y) {
    const int32_t width = static_cast<int32_t>(read32(bytes, 18));
    const int32_t height = static_cast<int32_t>(read32(bytes, 22));
    const size_t at =
        54 + bmpStride(width) * static_cast<size_t>(height - 1 - y) + static_cast<size_t>(x) * 3;
    return bytes[at] | (bytes[at + 1] << 8) | (static_cast<uint32_t>(bytes[at + 2]) << 16);
}

// Every pixel of the file is the screen's where (left + x, top + y) is on a
// screen of the given size, and black elsewhere.
void expectScreenWithBlackOutside(const std::vector<uint8_t>& bytes, int32_t left, int32_t top,
                                  int32_t screenWidth, int32_t screenHeight) {
    const int32_t width = static_cast<int32_t>(read32(bytes, 18));
    const int32_t height = static_cast<int32_t>(read32(bytes, 22));
    ASSERT_EQ(bytes.size(), 54 + bmpImageSize(width, height));
    int wrong = 0;
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const int32_t sx = left + x;
            const int32_t sy = top + y;
            const bool onScreen = sx >= 0 && sy >= 0 && sx < screenWidth && sy < screenHeight;
            const uint32_t expected = onScreen ? patternColour(sx, sy) : 0u;
            if (pixelAt(bytes, x, y) != expected && wrong++ < 5)
                ADD_FAILURE() << "pixel " << x << "," << y << " is " << std::hex
                              << pixelAt(bytes, x, y) << ", expected " << expected;
        }
    }
    // Padding stays zero.
    const uint64_t stride = bmpStride(width);
    for (int32_t row = 0; row < height; ++row)
        for (uint64_t pad = static_cast<uint64_t>(width) * 3; pad < stride; ++pad)
            EXPECT_EQ(bytes[54 + row * stride + pad], 0);
}

TEST(CaptureAreaTest, LiesInsideThePanelAndKeepsNegativeOrigins) {
    EXPECT_EQ(captureAreaOf({0, 0, 177, 152}), (CaptureArea{35, 37, 138, 111}));
    EXPECT_EQ(captureAreaOf({-100, -50, 77, 102}), (CaptureArea{-65, -13, 138, 111}));
    EXPECT_EQ(captureAreaOf({10, 10, 40, 40}), (CaptureArea{45, 47, -9, -11}));
    // No overflow at the ends of the coordinate range.
    EXPECT_EQ(captureAreaOf({INT32_MIN, 0, INT32_MAX, 152}).width, int64_t{UINT32_MAX} - 39);
    EXPECT_EQ(captureImageSize({0, 0, 138, 111}), 46176u);
    EXPECT_EQ(captureImageSize({0, 0, 0, 111}), 0u);
    EXPECT_EQ(captureImageSize({0, 0, int64_t{UINT32_MAX} - 39, 111}), 0u);  // too large
}

TEST(CaptureAreaTest, TheVisiblePartIsClippedToTheScreen) {
    using R = platform::Rect;
    EXPECT_EQ(visiblePart({35, 37, 138, 111}, 1920, 1080), (R{35, 37, 173, 148}));
    EXPECT_EQ(visiblePart({-65, -13, 138, 111}, 1920, 1080), (R{0, 0, 73, 98}));
    EXPECT_EQ(visiblePart({1900, 1000, 138, 111}, 1920, 1080), (R{1900, 1000, 1920, 1080}));
    EXPECT_EQ(visiblePart({-10, -10, 3000, 2000}, 1920, 1080), (R{0, 0, 1920, 1080}));
    EXPECT_FALSE(visiblePart({-138, 0, 138, 111}, 1920, 1080));  // ends at x = 0
    EXPECT_FALSE(visiblePart({1920, 0, 138, 111}, 1920, 1080));
    EXPECT_FALSE(visiblePart({35, 37, 0, 111}, 1920, 1080));
    EXPECT_FALSE(visiblePart({35, 37, 138, -1}, 1920, 1080));
    EXPECT_FALSE(visiblePart({35, 37, 138, 111}, 0, 0));
}

TEST_F(CaptureTest, APanelPartlyLeftAndAboveTheScreenBlacksOnlyTheOffScreenPixels) {
    movePanel(-100, -50, 77, 102);  // the rectangle starts at (-65, -13)
    captureScreen();
    const std::vector<uint8_t>* bytes = file(kFeedbackName);
    ASSERT_NE(bytes, nullptr);
    ASSERT_EQ(bytes->size(), 46230u);
    const fake::Call* grab = fake::state().find("grabScreen");
    ASSERT_NE(grab, nullptr);
    EXPECT_EQ(grab->text(), "grabScreen(0, 0, 73, 98, &, 21560)");  // stride 220 × 98 rows
    expectScreenWithBlackOutside(*bytes, -65, -13, 1920, 1080);
}

TEST_F(CaptureTest, APanelPartlyRightAndBelowTheScreenBlacksOnlyTheOffScreenPixels) {
    fake::state().screenWidth = 1280;
    fake::state().screenHeight = 1024;
    movePanel(1200, 950, 1377, 1102);  // the rectangle is (1235, 987) 138 × 111
    captureScreen();
    const std::vector<uint8_t>* bytes = file(kFeedbackName);
    ASSERT_NE(bytes, nullptr);
    expectScreenWithBlackOutside(*bytes, 1235, 987, 1280, 1024);
}

TEST_F(CaptureTest, APanelWhollyOffTheScreenGivesABlackImageWithoutAGrab) {
    movePanel(-400, 0, -223, 152);
    captureScreen();
    const std::vector<uint8_t>* bytes = file(kFeedbackName);
    ASSERT_NE(bytes, nullptr);
    ASSERT_EQ(bytes->size(), 46230u);
    EXPECT_EQ(fake::state().count("grabScreen"), 0u);
    EXPECT_TRUE(std::all_of(bytes->begin() + 54, bytes->end(), [](uint8_t b) { return b == 0; }));
}

TEST_F(CaptureTest, AFailedGrabGivesABlackImageEvenIfItLeftPixelsBehind) {
    for (const platform::Rect& panel :
         {platform::Rect{0, 0, 177, 152}, platform::Rect{-100, -50, 77, 102}}) {
        SCOPED_TRACE(panel.left);
        movePanel(panel.left, panel.top, panel.right, panel.bottom);
        fake::state().script("grabScreen", {0});
        captureScreen();
        const std::vector<uint8_t>* bytes = file(kFeedbackName);
        ASSERT_EQ(bytes->size(), 46230u);
        EXPECT_TRUE(
            std::all_of(bytes->begin() + 54, bytes->end(), [](uint8_t b) { return b == 0; }));
    }
}

TEST_F(CaptureTest, AnEmptyRectangleKeepsTheLastFeedbackImageAndStillReloadsTheModel) {
    captureScreen();
    const std::vector<uint8_t> before = *file(kFeedbackName);
    for (const platform::Rect& rect :
         {platform::Rect{0, 0, 39, 152}, platform::Rect{0, 0, 177, 41},
          platform::Rect{0, 0, 20, 20}, platform::Rect{50, 50, 0, 0}}) {
        SCOPED_TRACE(rect.right);
        movePanel(rect.left, rect.top, rect.right, rect.bottom);
        fake::state().clearLog();
        captureScreen();
        EXPECT_EQ(fake::state().count("grabScreen"), 0u);
        EXPECT_EQ(fake::state().count("CreateFileA"), 0u);
        EXPECT_EQ(*file(kFeedbackName), before);
        EXPECT_EQ(fake::state().count("D3DXLoadMeshFromX"), 1u);
    }
}

TEST_F(CaptureTest, ASnapshotOfAnEmptyRectangleIsAFailedSave) {
    movePanel(0, 0, 39, 41);
    viewerState().captureMode = 2;
    captureScreen();
    EXPECT_EQ(fake::state().count("CreateFileA"), 0u);
    EXPECT_TRUE(viewerState().lastSnapshotFailed);
    EXPECT_EQ(std::string(viewerState().failedSnapshotName), kSaveFolder + "0.bmp");
    EXPECT_EQ(viewerState().snapshotCounter, 1);
}

TEST_F(CaptureTest, ARectangleLargerThanTheScreenIsWrittenWholeWithBlackOutsideIt) {
    fake::state().screenWidth = 320;
    fake::state().screenHeight = 200;
    movePanel(-50, -40, 400, 260);  // the rectangle is (-15, -3) 411 × 259
    captureScreen();
    const std::vector<uint8_t>* bytes = file(kFeedbackName);
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(read32(*bytes, 18), 411u);
    EXPECT_EQ(read32(*bytes, 22), 259u);
    EXPECT_EQ(fake::state().find("grabScreen")->text(), "grabScreen(0, 0, 320, 200, &, 192000)");
    expectScreenWithBlackOutside(*bytes, -15, -3, 320, 200);
}

}  // namespace
