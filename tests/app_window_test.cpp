// The display window's procedure and the quit routine.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/application.h"
#include "app_test_support.h"
#include "platform/window_system.h"
#include "platform/windows_values.h"

namespace {

using shell_test::textsOf;

class DisplayWindowTest : public fake_test::FakeTest {
protected:
    void SetUp() override {
        fake_test::FakeTest::SetUp();
        ViewerState& state = viewerState();
        state.controlFont =
            platform::CreateFontA(-12, 0, 0, 0, 400, 0, 0, 0, 128, 3, 2, 1, 0x20, "font");
        state.backgroundBrush = platform::CreateSolidBrush(0);
        platform::WindowClass windowClass{};
        windowClass.procedure = displayWindowProc;
        windowClass.className = "NORMAL0";
        platform::RegisterClassExA(&windowClass);
        window = platform::CreateWindowExA(0, "NORMAL0", "t462", 0, 0, 0, 600, 610, nullptr, 0,
                                           nullptr, nullptr);
        fake::state().clearLog();
    }

    std::string name(const void* handle) const { return fake::handleName(handle); }

    platform::WindowHandle window = nullptr;
};

TEST_F(DisplayWindowTest, CreateStoresTheWindowWithoutDefaultHandling) {
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(viewerState().displayWindow, window);

    const auto other = reinterpret_cast<platform::WindowHandle>(uintptr_t{0x7777});
    EXPECT_EQ(displayWindowProc(other, platform::WM_CREATE, 0, 0), 0);
    EXPECT_EQ(viewerState().displayWindow, other);
    EXPECT_TRUE(fake::state().calls.empty());
}

TEST_F(DisplayWindowTest, CloseDestroysTheWindowWhichQuits) {
    EXPECT_EQ(displayWindowProc(window, platform::WM_CLOSE, 0, 0), 0);
    const ViewerState& state = viewerState();
    EXPECT_EQ(
        fake::state().log(),
        (std::vector<std::string>{
            "DestroyWindow(" + name(window) + ")", "DeleteObject(" + name(state.controlFont) + ")",
            "DeleteObject(" + name(state.backgroundBrush) + ")", "PostQuitMessage(0)"}));
    ASSERT_EQ(fake::state().queue.size(), 1u);
    EXPECT_EQ(fake::state().queue.front().message, platform::WM_QUIT);
    EXPECT_EQ(fake::state().queue.front().wParam, 0u);
    EXPECT_FALSE(fake::state().windows.at(window).alive);
}

TEST_F(DisplayWindowTest, DestroyQuitsWithoutDestroyingAnything) {
    EXPECT_EQ(displayWindowProc(window, platform::WM_DESTROY, 0, 0), 0);
    EXPECT_EQ(fake::state().count("DestroyWindow"), 0u);
    EXPECT_EQ(fake::state().count("DeleteObject"), 2u);
    EXPECT_EQ(fake::state().count("PostQuitMessage"), 1u);
}

TEST_F(DisplayWindowTest, OtherMessagesGoToTheDefaultWithTheirArgumentsAndResult) {
    fake::state().script("DefWindowProcA", {-3, 17});
    EXPECT_EQ(displayWindowProc(window, 0x0084, 5, -40), -3);  // WM_NCHITTEST
    EXPECT_EQ(displayWindowProc(window, platform::WM_PAINT, 0, 123456), 17);
    EXPECT_EQ(fake::state().log(),
              (std::vector<std::string>{"DefWindowProcA(" + name(window) + ", 0x84, 5, -40)",
                                        "DefWindowProcA(" + name(window) + ", 0xf, 0, 123456)"}));
    EXPECT_EQ(viewerState().displayWindow, window);
}

// A value the program chooses that no backend knows fails the test; the
// messages the system sends to the default procedure are not the program's.
TEST_F(DisplayWindowTest, AChosenValueOutsideTheSharedListFailsTheTest) {
    EXPECT_NONFATAL_FAILURE(platform::SendMessageA(nullptr, 0x0005, 0, 0),  // WM_SIZE
                            "SendMessageA: message 0x5 is not in platform/windows_values.h");
    EXPECT_NONFATAL_FAILURE(platform::SetWindowPos(nullptr, platform::HWND_TOPMOST, 0, 0, 0, 0,
                                                   0x0200),  // SWP_NOOWNERZORDER
                            "SetWindowPos: flags 0x200");
}

TEST_F(DisplayWindowTest, QuitDeletesFontThenBrushAndPostsCodeZero) {
    quitApplication();
    const ViewerState& state = viewerState();
    EXPECT_EQ(fake::state().log(),
              (std::vector<std::string>{"DeleteObject(" + name(state.controlFont) + ")",
                                        "DeleteObject(" + name(state.backgroundBrush) + ")",
                                        "PostQuitMessage(0)"}));
    // The windows stay; they go with the process.
    EXPECT_TRUE(fake::state().windows.at(window).alive);
}

}  // namespace
