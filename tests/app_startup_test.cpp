// Start-up of the program: the calls in their order with every argument, the
// window classes and windows, and both ways start-up can fail.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "app/application.h"
#include "app_test_support.h"
#include "panel/panel_window.h"
#include "platform/window_system.h"
#include "render/model_mesh.h"
#include "render/tint_quad.h"

using shell_test::has;
using shell_test::kControlFontFace;
using shell_test::kErrorCaption;
using shell_test::kInitFailedText;
using shell_test::kNoDirect3DText;
using shell_test::quitAtPass;
using shell_test::runToExit;
using shell_test::startUpCalls;
using shell_test::textsOf;

namespace {

using StartUpTest = fake_test::FakeTest;

std::string handle(const void* h) { return fake::handleName(h); }

// The top-level windows' creation calls, leaving out the panel's child controls.
std::vector<fake::Call> topLevelWindowsCreated(const std::vector<fake::Call>& calls) {
    std::vector<fake::Call> result;
    for (const fake::Call& call : calls)
        if (call.name == "CreateWindowExA" && call.args.at(8) == "null") result.push_back(call);
    return result;
}

TEST_F(StartUpTest, MakesItsCallsInOrderWithEveryArgument) {
    fake::state().script("GetSysColor", {0x00C0D0E0});
    quitAtPass(0);
    ASSERT_EQ(runToExit(), 0u);
    const std::vector<fake::Call> calls = startUpCalls();
    const ViewerState& state = viewerState();

    // Handles the fake hands out for the same requests.
    const std::string instance = handle(platform::GetModuleHandleA(nullptr));
    const std::string applicationIcon = handle(platform::LoadIconA(nullptr, 32512));
    const std::string logoIcon = handle(platform::LoadIconA(nullptr, 32517));
    const std::string arrow = handle(platform::LoadCursorA(nullptr, 32512));
    const std::string display = handle(state.displayWindow);
    const std::string brush = handle(state.backgroundBrush);
    ASSERT_NE(state.displayWindow, nullptr);
    ASSERT_NE(state.backgroundBrush, nullptr);
    ASSERT_NE(state.controlFont, nullptr);

    const std::string classRecord = "48, 0xb, %s, " + instance + ", " + applicationIcon + ", " +
                                    arrow + ", " + brush + ", null, " + logoIcon + ", 0, 0)";
    auto classOf = [&](const std::string& name) {
        std::string text = "RegisterClassExA(" + classRecord;
        return text.replace(text.find("%s"), 2, name);
    };
    const std::vector<std::string> expected = {
        "InitCommonControlsEx(8, 0xff)",
        "CreateFontA(-12, 0, 0, 0, 400, 0, 0, 0, 128, 3, 2, 1, 0x20, " + kControlFontFace + ")",
        "GetSysColor(15)",
        "CreateSolidBrush(0xc0d0e0)",
        classOf("NORMAL0"),
        "CreateWindowExA(0x0, NORMAL0, t462, 0x12ce0000, -2147483648, -2147483648, 600, 610, "
        "null, 0, " +
            instance + ", null)",
        classOf("NORMAL1"),
        "CreateWindowExA(0x0, NORMAL1, com, 0x90840000, -2147483648, -2147483648, 177, 152, "
        "null, 0, " +
            instance + ", null)",
        "MoveWindow(" + display + ", 110, 100, 600, 610, 1)",
        "CoInitialize(null)",
        "Direct3DCreate9(32)",
    };
    std::vector<std::string> seen;
    for (const fake::Call& call : calls) {
        const bool topLevelWindow = call.name == "CreateWindowExA" && call.args.at(8) == "null";
        if (call.name == "InitCommonControlsEx" || call.name == "CreateFontA" ||
            call.name == "GetSysColor" || call.name == "CreateSolidBrush" ||
            call.name == "RegisterClassExA" || topLevelWindow || call.name == "MoveWindow" ||
            call.name == "CoInitialize" || call.name == "Direct3DCreate9")
            seen.push_back(call.text());
    }
    EXPECT_EQ(seen, expected);

    // The renderer comes up after the move, then the tint quad and the model.
    const std::vector<std::string> renderer =
        textsOf(calls, {".CreateDevice", "D3DXCreateFontIndirect", "DirectInput8Create"});
    ASSERT_EQ(renderer.size(), 3u);
    EXPECT_EQ(renderer[0], "Direct3D#1.CreateDevice(0, 1, " + display + ", 0x40, &, &)");
    const fake::Call* load = fake::state().find("D3DXLoadMeshFromX");
    ASSERT_NE(load, nullptr);
    EXPECT_EQ(load->args.at(0), "model.x");
    EXPECT_EQ(fake::state().count("D3DXLoadMeshFromX"), 1u) << "loaded once before the loop";
}

TEST_F(StartUpTest, BothClassesGetTheirProceduresAndBothWindowsTheirPlaces) {
    quitAtPass(0);
    ASSERT_EQ(runToExit(), 0u);
    const ViewerState& state = viewerState();
    EXPECT_EQ(fake::state().classes.at("NORMAL0"), &displayWindowProc);
    EXPECT_EQ(fake::state().classes.at("NORMAL1"), &panelWindowProc);

    // Each handle comes from its window's own WM_CREATE.
    EXPECT_EQ(state.displayWindow, fake::state().windowTitled("t462"));
    EXPECT_EQ(state.panelWindow, fake::state().windowTitled("com"));
    EXPECT_EQ(fake::state().windows.at(state.displayWindow).rect,
              (platform::Rect{110, 100, 710, 710}));
    EXPECT_EQ(fake::state().windows.at(state.panelWindow).rect, (platform::Rect{0, 0, 177, 152}));
    EXPECT_EQ(topLevelWindowsCreated(fake::state().calls).size(), 2u);
}

TEST_F(StartUpTest, CreatesTheTintQuadBeforeLoadingTheModel) {
    bool deviceSideReady = false;
    bool overlayExisted = false;
    fake::state().onCall = [&](const fake::Call& call) {
        if (call.name != "D3DXLoadMeshFromX") return;
        deviceSideReady = fake::state().count("DirectInput8Create") == 1;
        overlayExisted = viewerState().overlay != nullptr;
    };
    bool bothHeldAtLoop = false;
    quitAtPass(0, [&](size_t) {
        bothHeldAtLoop = viewerState().overlay != nullptr && viewerState().model != nullptr;
    });
    ASSERT_EQ(runToExit(), 0u);
    EXPECT_TRUE(deviceSideReady);
    EXPECT_TRUE(overlayExisted);
    EXPECT_TRUE(bothHeldAtLoop);
}

// Start-up failures after the Direct3D object: each scripts one step to fail.
struct RendererFailure {
    const char* name;
    const char* script;
    std::vector<int64_t> results;
    std::vector<std::string> notCalled;  // the steps after the failing one
};

void PrintTo(const RendererFailure& value, std::ostream* os) { *os << value.name; }

class RendererFailureTest : public fake_test::FakeTest,
                            public ::testing::WithParamInterface<RendererFailure> {};

TEST_P(RendererFailureTest, ShowsTheStartUpMessageAndEndsWithCodeZero) {
    const RendererFailure& failure = GetParam();
    for (int64_t result : failure.results) fake::state().results[failure.script].push_back(result);
    EXPECT_EQ(runToExit(), 0u);

    const std::vector<fake::Call>& calls = fake::state().calls;
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[calls.size() - 2].text(),
              "MessageBoxA(null, " + kInitFailedText + ", Error, 0x30)");
    EXPECT_EQ(calls.back().text(), "ExitProcess(0)");
    EXPECT_EQ(fake::state().count("MessageBoxA"), 1u);
    for (const std::string& name : failure.notCalled) EXPECT_FALSE(has(calls, name)) << name;

    // Neither render object exists, nothing was released, the loop never ran,
    // and both windows are still up behind the box.
    EXPECT_EQ(viewerState().overlay, nullptr);
    EXPECT_EQ(viewerState().model, nullptr);
    EXPECT_FALSE(has(calls, "D3DXLoadMeshFromX"));
    EXPECT_FALSE(has(calls, ".Release"));
    EXPECT_FALSE(has(calls, "CoUninitialize"));
    EXPECT_FALSE(has(calls, "PeekMessageA"));
    EXPECT_TRUE(fake::state().windows.at(fake::state().windowTitled("t462")).alive);
    EXPECT_TRUE(fake::state().windows.at(fake::state().windowTitled("com")).alive);
}

INSTANTIATE_TEST_SUITE_P(
    EachStep, RendererFailureTest,
    ::testing::Values(RendererFailure{"AllDeviceAttempts",
                                      "Direct3D.CreateDevice",
                                      {1, -2005530518, 1},
                                      {"D3DXCreateFontIndirect", "DirectInput8Create"}},
                      RendererFailure{
                          "TextFont", "D3DXCreateFontIndirect", {1}, {"DirectInput8Create"}},
                      RendererFailure{"DirectInput", "DirectInput8Create", {-2147467259}, {}}),
    [](const ::testing::TestParamInfo<RendererFailure>& param) { return param.param.name; });

TEST_F(StartUpTest, NoDirect3DObjectShowsItsOwnMessageOnly) {
    fake::state().direct3dAvailable = false;
    EXPECT_EQ(runToExit(), 0u);
    const std::vector<fake::Call>& calls = fake::state().calls;
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls[calls.size() - 3].text(), "Direct3DCreate9(32)");
    EXPECT_EQ(calls[calls.size() - 2].text(),
              "MessageBoxA(null, " + kNoDirect3DText + ", " + kErrorCaption + ", 0x10)");
    EXPECT_EQ(calls.back().text(), "ExitProcess(0)");
    EXPECT_EQ(fake::state().count("MessageBoxA"), 1u);
    EXPECT_FALSE(has(calls, ".CreateDevice"));
    EXPECT_EQ(viewerState().overlay, nullptr);
    EXPECT_EQ(viewerState().model, nullptr);
}

}  // namespace
