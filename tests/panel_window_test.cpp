#include "panel/panel_window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/viewer_state.h"
#include "fake/fake_platform.h"
#include "fake_test_support.h"
#include "platform/window_system.h"
#include "platform/windows_values.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr const char* kSkinFile = "\x98\x67.bmp";  // 枠.bmp
constexpr uint32_t kFace = 0x00505860;
constexpr uint32_t kKey = 0x00FF00FF;

std::string h(const void* handle) { return fake::handleName(handle); }

uintptr_t command(uint16_t id, uint16_t code) { return (uintptr_t{code} << 16) | id; }

class PanelWindowTest : public fake_test::FakeTest {
protected:
    void SetUp() override {
        FakeTest::SetUp();
        viewerState().controlFont =
            platform::CreateFontA(-12, 0, 0, 0, 400, 0, 0, 0, 128, 3, 2, 1, 0x20, "font");
        viewerState().backgroundBrush = platform::CreateSolidBrush(0xF0F0F0);
        fake_test::registerPanelClass();
    }

    // A 177 × 152 skin, face-coloured but for its bottom-left pixel.
    void provideSkin() {
        fake::Picture skin{177, 152, std::vector<uint32_t>(size_t{177} * 152, kFace)};
        skin.pixels[0] = kKey;
        fake::state().imageFiles[kSkinFile] = skin;
    }

    platform::WindowHandle createPanel() {
        fake::state().clearLog();
        const int32_t useDefault = static_cast<int32_t>(0x80000000);
        panel = platform::CreateWindowExA(0, "NORMAL1", "com", 0x90840000, useDefault, useDefault,
                                          177, 152, nullptr, 0, nullptr, nullptr);
        return panel;
    }

    intptr_t send(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0) {
        return panelWindowProc(panel, message, wParam, lParam);
    }

    platform::WindowHandle panel = nullptr;
};

TEST_F(PanelWindowTest, CreationBuildsControlsThenSkinShapeAndTopmost) {
    provideSkin();
    createPanel();
    ViewerState& state = viewerState();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(state.panelWindow, panel);

    const std::string p = h(panel);
    const std::string font = h(state.controlFont);
    const platform::WindowHandle quit = fake::state().child(panel, 1000);
    const platform::WindowHandle shot = fake::state().child(panel, 1001);
    const platform::WindowHandle prefix = fake::state().child(panel, 1002);
    ASSERT_NE(quit, nullptr);
    ASSERT_NE(shot, nullptr);
    ASSERT_NE(prefix, nullptr);

    std::vector<std::string> log = fake::state().log();
    log.erase(log.begin());  // the panel's own CreateWindowExA
    ASSERT_GE(log.size(), 17u);
    EXPECT_THAT(
        std::vector<std::string>(log.begin(), log.begin() + 13),
        ElementsAre(
            "GetModuleHandleA(null)",
            "CreateWindowExA(0x0, BUTTON, \x8f\x49\x97\xb9, 0x50000000, 9, 8, 35, "
            "19, " +
                p + ", 1000, h4194304, null)",
            "GetDlgItem(" + p + ", 1000)", "SendMessageA(" + h(quit) + ", 0x30, " + font + ", 0)",
            "GetModuleHandleA(null)",
            "CreateWindowExA(0x0, BUTTON, \x8e\xca, 0x50000000, 50, 8, 20, 19, " + p +
                ", 1001, h4194304, null)",
            "GetDlgItem(" + p + ", 1001)", "SendMessageA(" + h(shot) + ", 0x30, " + font + ", 0)",
            "GetModuleHandleA(null)",
            "CreateWindowExA(0x200, EDIT, , 0x50000000, 78, 7, 85, 21, " + p +
                ", 1002, h4194304, null)",
            "GetDlgItem(" + p + ", 1002)", "SendMessageA(" + h(prefix) + ", 0x30, " + font + ", 0)",
            "LoadImageA(null, \x98\x67.bmp, 0, 0, 0, 0x50)"));
    // The shape from the loaded skin, placed at the client origin.
    EXPECT_EQ(log[13], "GetClientRect(" + p + ", &)");
    EXPECT_NE(state.skinBitmap, nullptr);
    EXPECT_EQ(fake::state().find("GetObjectA")->args[0], h(state.skinBitmap));
    EXPECT_EQ(fake::state().find("CreateRectRgn")->text(), "CreateRectRgn(4, 4, 181, 156)");
    EXPECT_EQ(fake::state().count("CombineRgn"), 1u);  // the key pixel alone
    EXPECT_EQ(fake::state().find("CreateRectRgn", 1)->text(), "CreateRectRgn(4, 155, 5, 156)");

    const size_t n = log.size();
    const platform::GdiObject region = fake::state().windows[panel].region;
    ASSERT_NE(region, nullptr);
    EXPECT_EQ(log[n - 2], "SetWindowRgn(" + p + ", " + h(region) + ", 1)");
    EXPECT_EQ(log[n - 1], "SetWindowPos(" + p + ", -1, 0, 0, 0, 0, 0x3)");
    EXPECT_EQ(fake::state().deletedObjects.count(region), 0u);
    EXPECT_EQ(fake::state().deletedObjects.count(state.skinBitmap), 0u);
}

TEST_F(PanelWindowTest, WithoutSkinFileThePanelTakesTheClientAreaShape) {
    fake::state().clientPicture = {169, 144, std::vector<uint32_t>(size_t{169} * 144, 0x00F0F0F0)};
    createPanel();
    EXPECT_EQ(viewerState().skinBitmap, nullptr);
    EXPECT_EQ(fake::state().count("GetObjectA"), 0u);
    EXPECT_EQ(fake::state().count("BitBlt"), 1u);  // the copy of the client area
    EXPECT_EQ(fake::state().find("CreateRectRgn")->text(), "CreateRectRgn(4, 4, 177, 152)");
    EXPECT_NE(fake::state().windows[panel].region, nullptr);
    EXPECT_EQ(fake::state().names().back(), "SetWindowPos");

    // Painting without a skin copies nothing and touches no object.
    fake::state().clearLog();
    EXPECT_EQ(send(platform::WM_PAINT), 0);
    const fake::Call* copy = fake::state().find("BitBlt");
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->args[3], "0");
    EXPECT_EQ(copy->args[4], "0");
    EXPECT_EQ(fake::state().count("DeleteObject"), 0u);
}

TEST_F(PanelWindowTest, PaintCopiesTheWholeSkinAndKeepsIt) {
    provideSkin();
    createPanel();
    fake::state().clearLog();
    const std::string p = h(panel);
    const std::string skin = h(viewerState().skinBitmap);
    const std::string paintDc = "h" + std::to_string(fake::state().nextHandle);
    const std::string memory = "h" + std::to_string(fake::state().nextHandle + 1);

    EXPECT_EQ(send(platform::WM_PAINT), 0);

    EXPECT_THAT(
        fake::state().log(),
        ElementsAre("BeginPaint(" + p + ", &)", "GetObjectA(" + skin + ", 20, &)",
                    "CreateCompatibleDC(" + paintDc + ")",
                    "SelectObject(" + memory + ", " + skin + ")",
                    "BitBlt(" + paintDc + ", 0, 0, 177, 152, " + memory + ", 0, 0, 0xcc0020)",
                    "DeleteDC(" + memory + ")", "EndPaint(" + p + ", " + paintDc + ")"));
}

TEST_F(PanelWindowTest, PressOnTheFaceStartsTheSystemMove) {
    provideSkin();
    createPanel();
    fake::state().clearLog();
    EXPECT_EQ(send(platform::WM_LBUTTONDOWN, 1, (20 << 16) | 40), 0);
    EXPECT_THAT(fake::state().log(),
                ElementsAre("ReleaseCapture()", "SendMessageA(" + h(panel) + ", 0xa1, h2, 0)"));
}

TEST_F(PanelWindowTest, QuitButtonQuitsTheApplication) {
    provideSkin();
    createPanel();
    fake::state().clearLog();
    EXPECT_EQ(send(platform::WM_COMMAND, command(1000, platform::BN_CLICKED), 0), 0);
    EXPECT_THAT(fake::state().log(),
                ElementsAre("DeleteObject(" + h(viewerState().controlFont) + ")",
                            "DeleteObject(" + h(viewerState().backgroundBrush) + ")",
                            "PostQuitMessage(0)"));
}

TEST_F(PanelWindowTest, SnapshotButtonRunsTheCaptureInSnapshotMode) {
    provideSkin();
    createPanel();
    fake::state().clearLog();
    // The capture sees snapshot mode when it looks up the panel.
    int modeAtCapture = -1;
    fake::state().onCall = [&](const fake::Call& call) {
        if (call.name == "GetWindowRect" && modeAtCapture < 0)
            modeAtCapture = viewerState().captureMode;
    };
    EXPECT_EQ(send(platform::WM_COMMAND, command(1001, platform::BN_CLICKED), 0), 0);
    fake::state().onCall = nullptr;
    EXPECT_EQ(viewerState().captureMode, 1);
    EXPECT_EQ(modeAtCapture, 1);
    EXPECT_EQ(viewerState().snapshotCounter, 1);  // one snapshot per click
}

TEST_F(PanelWindowTest, PrefixChangeStoresTheTextAndRestartsNumbering) {
    provideSkin();
    createPanel();
    const platform::WindowHandle box = fake::state().child(panel, 1002);
    fake::state().windows[box].text = "\x8e\xca\x90\x5e";  // 写真
    viewerState().snapshotCounter = 7;
    fake::state().clearLog();

    EXPECT_EQ(send(platform::WM_COMMAND, command(1002, platform::EN_CHANGE), 0), 0);
    EXPECT_THAT(fake::state().log(),
                ElementsAre("GetDlgItemTextA(" + h(panel) + ", 1002, &, 256)"));
    EXPECT_STREQ(viewerState().snapshotPrefix, "\x8e\xca\x90\x5e");
    EXPECT_EQ(viewerState().snapshotCounter, 0);

    // Emptied again: the prefix goes with it, and the numbering restarts.
    fake::state().windows[box].text.clear();
    viewerState().snapshotCounter = 3;
    send(platform::WM_COMMAND, command(1002, platform::EN_CHANGE), 0);
    EXPECT_STREQ(viewerState().snapshotPrefix, "");
    EXPECT_EQ(viewerState().snapshotCounter, 0);

    // A text longer than the field is cut to 255 bytes and terminated.
    fake::state().windows[box].text = std::string(400, 'a');
    send(platform::WM_COMMAND, command(1002, platform::EN_CHANGE), 0);
    EXPECT_EQ(std::string(viewerState().snapshotPrefix), std::string(255, 'a'));
}

TEST_F(PanelWindowTest, OtherCommandsDoNothing) {
    provideSkin();
    createPanel();
    viewerState().snapshotCounter = 4;
    fake::state().clearLog();
    const uintptr_t others[] = {
        command(1000, platform::EN_CHANGE),   // right id, wrong code
        command(1000, 1),                     // a double click notification
        command(1001, platform::EN_CHANGE),   //
        command(1001, 5),                     //
        command(1002, platform::BN_CLICKED),  //
        command(1002, 0x0100),                // EN_SETFOCUS
        command(999, 0),                      // no such control
        command(1003, platform::EN_CHANGE),   //
        command(0, 0),                        // a menu command 0
    };
    for (const uintptr_t wParam : others) EXPECT_EQ(send(platform::WM_COMMAND, wParam, 0), 0);
    EXPECT_THAT(fake::state().calls, IsEmpty());
    EXPECT_EQ(viewerState().captureMode, 0);
    EXPECT_EQ(viewerState().snapshotCounter, 4);
}

TEST_F(PanelWindowTest, CommandsReadOnlyTheLowThirtyTwoBits) {
    provideSkin();
    createPanel();
    fake::state().clearLog();
    // Bits above the notification code are not part of the command.
    const uintptr_t wide = static_cast<uintptr_t>(uint64_t{0xFFFF} << (sizeof(uintptr_t) * 4));
    if (sizeof(uintptr_t) > 4) {
        send(platform::WM_COMMAND, wide | command(1000, platform::BN_CLICKED), 0);
        EXPECT_EQ(fake::state().count("PostQuitMessage"), 1u);
    }
}

TEST_F(PanelWindowTest, CloseDestroysOnlyThePanel) {
    provideSkin();
    createPanel();
    fake::state().clearLog();
    EXPECT_EQ(send(platform::WM_CLOSE), 0);
    EXPECT_THAT(fake::state().log(), ElementsAre("DestroyWindow(" + h(panel) + ")"));
    EXPECT_FALSE(fake::state().windows[panel].alive);
    EXPECT_TRUE(fake::state().queue.empty());  // no quit message
    EXPECT_EQ(viewerState().panelWindow, panel);
    EXPECT_EQ(send(platform::WM_DESTROY), 0);
    EXPECT_EQ(fake::state().count("PostQuitMessage"), 0u);
}

TEST_F(PanelWindowTest, OtherMessagesGoToTheDefaultProcedure) {
    provideSkin();
    createPanel();
    fake::state().clearLog();
    fake::state().script("DefWindowProcA", {17});
    EXPECT_EQ(send(platform::WM_KEYDOWN, 0x41, 5), 17);
    EXPECT_THAT(fake::state().log(), ElementsAre("DefWindowProcA(" + h(panel) + ", 0x100, 65, 5)"));
}

}  // namespace
