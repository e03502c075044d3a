// Skins that would leave nothing of the panel: every pixel of the key colour
// (a 1 x 1 picture; a damaged file that Windows loads as one black picture).
// The panel then goes on as without a skin, in its plain rectangle, instead
// of vanishing with its buttons.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/viewer_state.h"
#include "fake/fake_platform.h"
#include "fake_test_support.h"
#include "panel/panel_window.h"
#include "panel/window_shape.h"
#include "platform/window_system.h"
#include "platform/windows_values.h"

namespace {

constexpr const char* kSkinFile = "\x98\x67.bmp";  // 枠.bmp
constexpr uint32_t kBlack = 0x00000000;
constexpr uint32_t kFace = 0x00505860;

class PanelSkinFallbackTest : public fake_test::FakeTest {
protected:
    void SetUp() override {
        FakeTest::SetUp();
        fake_test::registerPanelClass();
        // The panel's client area, not drawn yet: one colour (as far as the
        // shape reads it without a skin: the client size plus the frame).
        fake::state().clientPicture = {173, 148,
                                       std::vector<uint32_t>(size_t{173} * 148, 0x00F0F0F0)};
    }

    void provideSkin(int32_t width, int32_t height, uint32_t colour) {
        fake::state().imageFiles[kSkinFile] = {
            width, height, std::vector<uint32_t>(size_t(width) * size_t(height), colour)};
    }

    void createPanel() {
        fake::state().clearLog();
        const int32_t useDefault = static_cast<int32_t>(0x80000000);
        panel = platform::CreateWindowExA(0, "NORMAL1", "com", 0x90840000, useDefault, useDefault,
                                          177, 152, nullptr, 0, nullptr, nullptr);
        ASSERT_NE(panel, nullptr);
    }

    platform::WindowHandle panel = nullptr;
};

TEST_F(PanelSkinFallbackTest, SkinOfNothingButTheKeyGivesThePlainPanel) {
    for (const auto& [width, height] : {std::pair{1, 1}, std::pair{177, 152}}) {
        SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
        SetUp();
        provideSkin(width, height, kBlack);
        createPanel();
        ViewerState& state = viewerState();
        // The loaded skin is given back and forgotten: nothing paints it.
        EXPECT_EQ(state.skinBitmap, nullptr);
        const fake::Call* load = fake::state().find("LoadImageA");
        ASSERT_NE(load, nullptr);
        EXPECT_EQ(fake::state().count("GetObjectA"), 1u);  // the skin's size, once
        const std::string skin = fake::state().find("GetObjectA")->args[0];
        bool skinDeleted = false;
        for (platform::GdiObject object : fake::state().deletedObjects)
            skinDeleted = skinDeleted || fake::handleName(object) == skin;
        EXPECT_TRUE(skinDeleted);

        // The region set is the plain panel's: the client area, uncut; the
        // skin's cut-away region was deleted, not handed over.
        const platform::GdiObject region = fake::state().windows[panel].region;
        ASSERT_NE(region, nullptr);
        EXPECT_EQ(fake::state().deletedObjects.count(region), 0u);
        const fake::Call* lastRegion = nullptr;
        for (size_t i = 0; fake::state().find("CreateRectRgn", i) != nullptr; ++i)
            lastRegion = fake::state().find("CreateRectRgn", i);
        ASSERT_NE(lastRegion, nullptr);
        EXPECT_EQ(lastRegion->text(), "CreateRectRgn(4, 4, 177, 152)");
        EXPECT_EQ(fake::state().count("SetWindowRgn"), 1u);
        EXPECT_EQ(fake::state().names().back(), "SetWindowPos");

        // Painting copies nothing, as without a skin.
        fake::state().clearLog();
        panelWindowProc(panel, platform::WM_PAINT, 0, 0);
        const fake::Call* copy = fake::state().find("BitBlt");
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(copy->args[3], "0");
        EXPECT_EQ(copy->args[4], "0");
    }
}

TEST_F(PanelSkinFallbackTest, SkinWithOnePixelLeftIsKept) {
    provideSkin(177, 152, kBlack);
    fake::state().imageFiles[kSkinFile].pixels[size_t{177} * 151] = kFace;  // top-left
    createPanel();
    EXPECT_NE(viewerState().skinBitmap, nullptr);
    EXPECT_EQ(fake::state().deletedObjects.count(viewerState().skinBitmap), 0u);
    EXPECT_EQ(fake::state().count("SetWindowRgn"), 1u);
    // One starting rectangle, then the cuts of every column.
    EXPECT_EQ(fake::state().find("CreateRectRgn")->text(), "CreateRectRgn(4, 4, 181, 156)");
    EXPECT_GT(fake::state().count("CombineRgn"), 176u);
}

using RegionFromBitmapCutAwayTest = fake_test::FakeTest;

TEST_F(RegionFromBitmapCutAwayTest, TellsWhetherTheBitmapLeftAnything) {
    platform::WindowClass windowClass{};
    windowClass.procedure = [](platform::WindowHandle w, uint32_t m, uintptr_t wp, intptr_t lp) {
        return platform::DefWindowProcA(w, m, wp, lp);
    };
    windowClass.className = "PLAIN";
    platform::RegisterClassExA(&windowClass);
    const platform::WindowHandle window = platform::CreateWindowExA(
        0, "PLAIN", "w", 0x90840000, 0, 0, 177, 152, nullptr, 0, nullptr, nullptr);
    const auto bitmapOf = [](int32_t width, int32_t height, uint32_t colour, uint32_t first) {
        fake::Picture picture{width, height,
                              std::vector<uint32_t>(size_t(width) * size_t(height), colour)};
        picture.pixels[0] = first;
        fake::state().imageFiles["picture.bmp"] = picture;
        return platform::LoadImageA(nullptr, "picture.bmp", 0, 0, 0, 0x50);
    };

    bool cutAway = true;
    regionFromBitmap(window, kKeyFromPicture, bitmapOf(3, 2, kFace, kBlack), &cutAway);
    EXPECT_FALSE(cutAway);
    regionFromBitmap(window, kKeyFromPicture, bitmapOf(3, 2, kBlack, kBlack), &cutAway);
    EXPECT_TRUE(cutAway);
    // An explicit key that no pixel has leaves everything.
    regionFromBitmap(window, 0x0000FF00, bitmapOf(1, 1, kBlack, kBlack), &cutAway);
    EXPECT_FALSE(cutAway);
    // Without a bitmap the plain rectangle is kept anyway: never cut away.
    cutAway = true;
    regionFromBitmap(window, kKeyFromPicture, nullptr, &cutAway);
    EXPECT_FALSE(cutAway);
}

}  // namespace
