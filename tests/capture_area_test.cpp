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

// Every pixel of the file is the screen's where (left + x, top + y) lies on
// one of the monitors, and black elsewhere.
void expectScreenWithBlackOutside(const std::vector<uint8_t>& bytes, int32_t left, int32_t top,
                                  const std::vector<platform::Rect>& monitors) {
    const int32_t width = static_cast<int32_t>(read32(bytes, 18));
    const int32_t height = static_cast<int32_t>(read32(bytes, 22));
    ASSERT_EQ(bytes.size(), 54 + bmpImageSize(width, height));
    int wrong = 0;
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const int32_t sx = left + x;
            const int32_t sy = top + y;
            const bool onScreen = std::any_of(monitors.begin(), monitors.end(), [&](auto& m) {
                return sx >= m.left && sy >= m.top && sx < m.right && sy < m.bottom;
            });
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

void expectScreenWithBlackOutside(const std::vector<uint8_t>& bytes, int32_t left, int32_t top,
                                  int32_t screenWidth, int32_t screenHeight) {
    expectScreenWithBlackOutside(bytes, left, top, {{0, 0, screenWidth, screenHeight}});
}

TEST(CaptureAreaTest, TheOpeningSitsAtTheClientOriginCutToTheClientArea) {
    // The usual 4-pixel frame: 35 inside the panel's left edge, 37 inside its
    // top, 4 inside right and bottom, wherever the panel is.
    for (const platform::Rect& panel :
         {platform::Rect{0, 0, 177, 152}, platform::Rect{-100, -50, 77, 102},
          platform::Rect{1800, 1000, 1977, 1152}}) {
        const CaptureArea old{panel.left + 35, panel.top + 37, (panel.right - panel.left) - 39,
                              (panel.bottom - panel.top) - 41};
        EXPECT_EQ(captureAreaOf(usualClientOf(panel)), old);
    }
    // An 8-pixel frame: the client area (161 × 136) cuts the opening short,
    // and nothing of the frame or the skin around the opening is taken.
    EXPECT_EQ(captureAreaOf({8, 8, 169, 144}), (CaptureArea{39, 41, 130, 103}));
    // A panel larger than its skin still grabs only the opening.
    EXPECT_EQ(captureAreaOf({4, 4, 2496, 1596}), (CaptureArea{35, 37, 138, 111}));
    EXPECT_LE(captureAreaOf({4, 4, 30, 30}).width, 0);  // nothing to grab
    // No overflow at the ends of the coordinate range.
    EXPECT_EQ(captureAreaOf({INT32_MAX - 10, INT32_MAX - 10, INT32_MAX, INT32_MAX}).width, -21);
    EXPECT_EQ(usualClientOf({INT32_MIN, 0, INT32_MAX, 152}),
              (platform::Rect{INT32_MIN + 4, 4, INT32_MAX - 4, 148}));
    EXPECT_EQ(captureImageSize({0, 0, 138, 111}), 46176u);
    EXPECT_EQ(captureImageSize({0, 0, 0, 111}), 0u);
    EXPECT_EQ(captureImageSize({0, 0, int64_t{UINT32_MAX} - 39, 111}), 0u);  // too large
}

TEST(CaptureAreaTest, TheGrabIsCutToTheVirtualScreenAndToEachMonitor) {
    using R = platform::Rect;
    const R screen{0, 0, 1920, 1080};
    EXPECT_EQ(visiblePart({35, 37, 138, 111}, screen), (R{35, 37, 173, 148}));
    EXPECT_EQ(visiblePart({-65, -13, 138, 111}, screen), (R{0, 0, 73, 98}));
    EXPECT_EQ(visiblePart({1900, 1000, 138, 111}, screen), (R{1900, 1000, 1920, 1080}));
    EXPECT_FALSE(visiblePart({-138, 0, 138, 111}, screen));  // ends at x = 0
    EXPECT_FALSE(visiblePart({1920, 0, 138, 111}, screen));
    EXPECT_FALSE(visiblePart({35, 37, 0, 111}, screen));
    EXPECT_FALSE(visiblePart({35, 37, 138, -1}, screen));

    // A monitor left of the primary one and one above it, with a gap of 100
    // pixels between the left one's top and the upper one's bottom.
    const std::vector<R> monitors = {
        {0, 0, 1920, 1080}, {-1280, 0, 0, 1024}, {0, -900, 1600, -100}};
    const R all{-1280, -900, 1920, 1080};
    EXPECT_EQ(partsOnMonitors({-1000, 500, 138, 111}, all, monitors),
              (std::vector<R>{{-1000, 500, -862, 611}}));
    EXPECT_EQ(partsOnMonitors({-69, 1000, 138, 111}, all, monitors),  // across two, below both
              (std::vector<R>{{0, 1000, 69, 1080}, {-69, 1000, 0, 1024}}));
    EXPECT_TRUE(partsOnMonitors({-500, -300, 138, 111}, all, monitors).empty());  // in the gap
    EXPECT_EQ(partsOnMonitors({1550, -150, 138, 111}, all, monitors),  // partly in the gap
              (std::vector<R>{{1550, -150, 1600, -100}}));
    EXPECT_TRUE(partsOnMonitors({-1500, 0, 138, 111}, all, monitors).empty());  // left of all
    // Mirrored monitors in the same place are grabbed once.
    EXPECT_EQ(partsOnMonitors({35, 37, 138, 111}, screen, {screen, screen}).size(), 1u);
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
    fake::state().monitors = {{0, 0, 1280, 1024}};
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
    fake::state().monitors = {{0, 0, 100, 80}};
    movePanel(-50, -40, 127, 112);  // the rectangle is (-15, -3) 138 × 111
    captureScreen();
    const std::vector<uint8_t>* bytes = file(kFeedbackName);
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(fake::state().find("grabScreen")->text(), "grabScreen(0, 0, 100, 80, &, 24000)");
    expectScreenWithBlackOutside(*bytes, -15, -3, 100, 80);
}

TEST_F(CaptureTest, AWiderFrameKeepsTheGrabUnderTheSkinsOpening) {
    fake::WindowRecord& panel = fake::state().windows[viewerState().panelWindow];
    panel.clientOrigin = {8, 8};
    panel.clientShrink = {16, 16};
    captureScreen();
    EXPECT_EQ(fake::state().find("grabScreen")->text(), "grabScreen(39, 41, 169, 144, &, 40376)");
    EXPECT_EQ(viewerState().panelRect, (platform::Rect{0, 0, 177, 152}));

    // Once the panel is gone, its last window rectangle with the usual frame.
    panel.alive = false;
    fake::state().clearLog();
    captureScreen();
    EXPECT_EQ(fake::state().find("grabScreen")->text(), "grabScreen(35, 37, 173, 148, &, 46176)");
}

TEST_F(CaptureTest, EveryMonitorOfTheVirtualScreenIsGrabbedAndTheGapsStayBlack) {
    const std::vector<platform::Rect> monitors = {
        {0, 0, 1920, 1080}, {-1280, 0, 0, 1024}, {0, -900, 1600, -100}};
    fake::state().monitors = monitors;
    movePanel(-104, 980, 73, 1132);  // across the left and the primary monitor, below the left
    captureScreen();
    EXPECT_EQ(fake::state().count("grabScreen"), 2u);
    expectScreenWithBlackOutside(*file(kFeedbackName), -69, 1017, monitors);

    movePanel(1514, -187, 1691, -35);  // on the upper monitor, the gap and right of it
    fake::state().clearLog();
    captureScreen();
    EXPECT_EQ(fake::state().find("grabScreen")->text(),
              "grabScreen(1549, -150, 1600, -100, &, 7800)");
    expectScreenWithBlackOutside(*file(kFeedbackName), 1549, -150, monitors);

    // Where the monitors cannot be told, the virtual screen is taken whole.
    fake::state().script("EnumDisplayMonitors", {0});
    fake::state().clearLog();
    captureScreen();
    EXPECT_EQ(fake::state().find("grabScreen")->text(),
              "grabScreen(1549, -150, 1687, -39, &, 46176)");
}

}  // namespace
