// The frame loop: messages before frames, the frame's fixed order, the
// lost-device gate, the quit message and its exit code, and shutdown.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/application.h"
#include "app_test_support.h"
#include "platform/graphics.h"
#include "platform/window_system.h"
#include "render/model_mesh.h"
#include "render/tint_quad.h"

using shell_test::has;
using shell_test::passes;
using shell_test::passShape;
using shell_test::quitAtPass;
using shell_test::runToExit;
using shell_test::textsOf;

namespace {

using FrameLoopTest = fake_test::FakeTest;

constexpr uint32_t kMouseMove = 0x0200;

void postToDisplay(uint32_t message, uintptr_t wParam = 0) {
    fake::state().post(viewerState().displayWindow, message, wParam);
}

// What a frame's capture and keyboard pass would ask the window system.
// The graphics calls among `calls`, named by the object's kind only:
// "Device.Reset(&)".
std::vector<std::string> methods(const std::vector<fake::Call>& calls) {
    std::vector<std::string> result;
    for (const fake::Call& call : calls) {
        const size_t hash = call.name.find('#');
        const size_t dot = call.name.find('.');
        if (hash == std::string::npos || dot == std::string::npos) continue;
        fake::Call named = call;
        named.name = call.name.substr(0, hash) + call.name.substr(dot);
        result.push_back(named.text());
    }
    return result;
}

const std::vector<std::string> kFrameInputs = {"GetWindowRect", "GetAsyncKeyState", "GetKeyState",
                                               "grabScreen", "CreateFileA"};

TEST_F(FrameLoopTest, ABurstOfMessagesIsHandledBeforeTheNextFrame) {
    quitAtPass(9, [](size_t pass) {
        if (pass == 0)
            for (uintptr_t i = 0; i < 5; ++i) postToDisplay(kMouseMove, i);
        if (pass == 6)
            for (uintptr_t i = 0; i < 2; ++i) postToDisplay(kMouseMove, 10 + i);
    });
    ASSERT_EQ(runToExit(), 0u);
    EXPECT_EQ(passShape(), "MMMMMFMMF-");

    // Every message is translated, then dispatched, in the order it came.
    const auto all = passes();
    EXPECT_EQ(
        textsOf(all[0], {"TranslateMessage", "DispatchMessageA"}),
        (std::vector<std::string>{
            "TranslateMessage(0x200)",
            "DispatchMessageA(" + fake::handleName(viewerState().displayWindow) + ", 0x200)"}));
    std::vector<std::string> handled;
    for (const auto& pass : all)
        for (const fake::Call& call : pass)
            if (call.name == "DefWindowProcA") handled.push_back(call.args.at(2));
    EXPECT_EQ(handled, (std::vector<std::string>{"0", "1", "2", "3", "4", "10", "11"}));
    EXPECT_EQ(fake::state().find("PeekMessageA")->text(), "PeekMessageA(&, null, 0, 0, 0x1)");
}

TEST_F(FrameLoopTest, WmQuitEndsTheLoopWithItsCodeAfterShutdown) {
    quitAtPass(100, [](size_t pass) {
        if (pass != 2) return;
        fake::state().post(nullptr, platform::WM_QUIT, 7);
        postToDisplay(kMouseMove);  // behind the quit message: never handled
    });
    ASSERT_EQ(runToExit(), 7u);
    EXPECT_EQ(passShape(), "FF-");
    const std::vector<fake::Call> last = passes().back();
    EXPECT_FALSE(has(last, "TranslateMessage"));
    EXPECT_FALSE(has(last, "DispatchMessageA"));
    EXPECT_FALSE(has(last, "DefWindowProcA"));
    // Shutdown ran before the process ended.
    EXPECT_EQ(last.back().text(), "ExitProcess(7)");
    EXPECT_TRUE(has(last, "CoUninitialize"));
    EXPECT_EQ(fake::state().liveObjects, 0);
    EXPECT_EQ(fake::state().overReleases, 0);
}

TEST_F(FrameLoopTest, AFrameClearsTheCaptureModeAndRunsInItsFixedOrder) {
    uint16_t modeAfterFrame = 99;
    quitAtPass(2, [&](size_t pass) {
        if (pass == 0) viewerState().captureMode = 2;  // left over from a snapshot
        if (pass == 1) modeAfterFrame = viewerState().captureMode;
    });
    ASSERT_EQ(runToExit(), 0u);
    EXPECT_EQ(modeAfterFrame, 0);

    const std::vector<fake::Call> frame = passes().at(0);
    const std::vector<std::string> bracket =
        textsOf(frame, {".BeginScene", ".Clear", ".SetLight", ".EndScene", ".Present"});
    ASSERT_EQ(bracket.size(), 5u);
    EXPECT_TRUE(shell_test::endsWith(bracket[0], ".BeginScene()"));
    EXPECT_TRUE(shell_test::endsWith(bracket[1], ".Clear(0, null, 0x3, 0xff000000, 1, 0)"));
    EXPECT_TRUE(shell_test::endsWith(bracket[2], ".SetLight(2, &)"));
    EXPECT_TRUE(shell_test::endsWith(bracket[3], ".EndScene()"));
    EXPECT_TRUE(shell_test::endsWith(bracket[4], ".Present(null, null, null, null)"));
    EXPECT_TRUE(shell_test::endsWith(frame.back().name, ".Present")) << "the present ends it";
    // A present that succeeds leaves the device usable: no recovery next pass.
    EXPECT_FALSE(has(passes().at(1), ".TestCooperativeLevel"));
    EXPECT_EQ(viewerState().deviceLost, 0);
}

// After a failed present each pass first tries recovery; while it fails
// nothing of the frame runs, and when it succeeds the frame runs at once.
TEST_F(FrameLoopTest, ALostDeviceBlocksFramesUntilItIsReset) {
    constexpr int64_t kLost = -2005530520;      // D3DERR_DEVICELOST
    constexpr int64_t kNotReset = -2005530519;  // D3DERR_DEVICENOTRESET
    fake::state().script("Device.Present", {kLost});
    fake::state().script("Device.TestCooperativeLevel", {kLost, kLost, kNotReset, kNotReset});
    fake::state().script("Device.Reset", {kLost, 0});
    uint16_t modeDuringLoss = 0;
    int32_t lostAfterFirstFrame = 0;
    quitAtPass(7, [&](size_t pass) {
        if (pass == 1) {
            lostAfterFirstFrame = viewerState().deviceLost;
            viewerState().captureMode = 1;
        }
        if (pass == 4) modeDuringLoss = viewerState().captureMode;
    });
    ASSERT_EQ(runToExit(), 0u);
    EXPECT_EQ(lostAfterFirstFrame, 1);
    // Passes 1 and 2: not resettable yet, a wait and no reset. Pass 3: the
    // reset fails, nothing drawn. Pass 4: the reset works and the frame is
    // drawn. Passes 5 and 6: no recovery any more.
    EXPECT_EQ(passShape(), "FWWRFFF-");
    EXPECT_EQ(modeDuringLoss, 1) << "the gated passes must not touch the capture mode";

    const auto all = passes();
    for (const std::string& input : kFrameInputs) EXPECT_FALSE(has(all[1], input)) << input;
    EXPECT_EQ(methods(all[1]), (std::vector<std::string>{"Device.TestCooperativeLevel()"}));
    EXPECT_EQ(methods(all[3]),
              (std::vector<std::string>{
                  "Device.TestCooperativeLevel()", "Font.OnLostDevice()", "Device.Reset(&)",
                  "Font.OnResetDevice()", "Device.SetLight(2, &)", "Device.LightEnable(2, 1)",
                  "Device.SetRenderState(29, 1)", "Device.SetRenderState(137, 1)"}));
    // The pass whose reset works: recovery first, then the whole frame.
    const std::vector<std::string> recovered = methods(all[4]);
    ASSERT_GE(recovered.size(), 3u);
    EXPECT_EQ(recovered[0], "Device.TestCooperativeLevel()");
    EXPECT_EQ(recovered[2], "Device.Reset(&)");
    EXPECT_TRUE(has(all[4], ".BeginScene"));
    EXPECT_TRUE(has(all[4], ".Present"));
    EXPECT_FALSE(has(all[5], ".TestCooperativeLevel"));
    EXPECT_EQ(viewerState().deviceLost, 0);
}

TEST_F(FrameLoopTest, RecoveryTriesOnEveryPassWithoutLimit) {
    fake::state().script("Device.Present", {1});  // any non-zero result marks the loss
    for (int i = 0; i < 6; ++i) {
        fake::state().results["Device.TestCooperativeLevel"].push_back(-2005530519);
        fake::state().results["Device.Reset"].push_back(-2005530520);
    }
    quitAtPass(7);
    ASSERT_EQ(runToExit(), 0u);
    EXPECT_EQ(passShape(), "FRRRRRR-");
    EXPECT_EQ(viewerState().deviceLost, 1);
}

TEST_F(FrameLoopTest, ACooperativeDeviceEndsTheLossWithoutAReset) {
    fake::state().script("Device.Present", {-2005530520});
    fake::state().script("Device.TestCooperativeLevel", {0});
    quitAtPass(3);
    ASSERT_EQ(runToExit(), 0u);
    EXPECT_EQ(passShape(), "FFF-");
    const auto all = passes();
    EXPECT_TRUE(has(all[1], ".TestCooperativeLevel"));
    EXPECT_FALSE(has(fake::state().calls, ".Reset"));
    EXPECT_FALSE(has(fake::state().calls, ".OnLostDevice"));
    EXPECT_FALSE(has(all[2], ".TestCooperativeLevel"));
}

TEST_F(FrameLoopTest, MessagesAreStillHandledWhileTheDeviceIsLost) {
    fake::state().script("Device.Present", {1});
    for (int i = 0; i < 4; ++i) {
        fake::state().results["Device.TestCooperativeLevel"].push_back(1);
        fake::state().results["Device.Reset"].push_back(1);
    }
    // The display window is closed while the device is lost.
    quitAtPass(100, [](size_t pass) {
        if (pass == 2) postToDisplay(platform::WM_CLOSE);
    });
    ASSERT_EQ(runToExit(), 0u);
    EXPECT_EQ(passShape(), "FRM-");
}

TEST_F(FrameLoopTest, ClosingTheDisplayWindowQuitsCleanly) {
    quitAtPass(100, [](size_t pass) {
        if (pass == 1) postToDisplay(platform::WM_CLOSE);
    });
    ASSERT_EQ(runToExit(), 0u);
    EXPECT_EQ(passShape(), "FM-");
    const ViewerState& state = viewerState();
    EXPECT_EQ(
        textsOf(passes()[1], {"DestroyWindow", "DeleteObject", "PostQuitMessage"}),
        (std::vector<std::string>{"DestroyWindow(" + fake::handleName(state.displayWindow) + ")",
                                  "DeleteObject(" + fake::handleName(state.controlFont) + ")",
                                  "DeleteObject(" + fake::handleName(state.backgroundBrush) + ")",
                                  "PostQuitMessage(0)"}));
    EXPECT_EQ(fake::state().liveObjects, 0);
    EXPECT_EQ(fake::state().overReleases, 0);
}

TEST_F(FrameLoopTest, ClosingOnlyThePanelKeepsTheProgramRunning) {
    quitAtPass(5, [](size_t pass) {
        if (pass == 1) fake::state().post(viewerState().panelWindow, platform::WM_CLOSE);
    });
    ASSERT_EQ(runToExit(), 0u);
    EXPECT_EQ(passShape(), "FMFFF-");
    EXPECT_FALSE(has(fake::state().calls, "PostQuitMessage"));
    EXPECT_TRUE(fake::state().windows.at(viewerState().displayWindow).alive);
}

// Minimised, the present no longer waits for the display: the loop waits
// for messages instead, so that a frame (and its capture) runs about once per
// refresh; messages are still handled at once.
TEST_F(FrameLoopTest, WhileMinimisedFramesArePacedToAboutOneRefresh) {
    auto minimised = [](bool on) {
        fake::state().windows[viewerState().displayWindow].minimised = on;
    };
    uint64_t clockAtFrame[2] = {};
    quitAtPass(11, [&](size_t pass) {
        if (pass == 1) minimised(true);
        if (pass == 2) clockAtFrame[0] = fake::state().clock;
        if (pass == 4) postToDisplay(kMouseMove);  // comes while the loop waits
        if (pass == 7) clockAtFrame[1] = fake::state().clock;
        if (pass == 8) minimised(false);
    });
    ASSERT_EQ(runToExit(), 0u);
    EXPECT_EQ(passShape(), "FFWFMWFWFFF-");
    EXPECT_EQ(textsOf(passes()[2], {"MsgWaitForMultipleObjects"}),
              (std::vector<std::string>{"MsgWaitForMultipleObjects(17, 0x4ff)"}));
    EXPECT_EQ(clockAtFrame[1] - clockAtFrame[0], 34000u) << "two periods of 17 ms waited";
    EXPECT_FALSE(has(passes()[9], "monotonicMicroseconds")) << "restored: no pacing";
}

// Shutdown: the tint quad, then the model, then the device side in its order.
TEST_F(FrameLoopTest, ShutdownReleasesEverythingInOrder) {
    fake::state().meshFiles["held.x"] = fake::MeshFile{};
    fake::state().textureFiles.insert("quad.bmp");
    quitAtPass(0, [](size_t) {
        // Give each render object something of its own to give up.
        ViewerState& state = viewerState();
        ASSERT_NE(state.overlay, nullptr);
        ASSERT_NE(state.model, nullptr);
        platform::D3DXCreateTextureFromFile(state.device.get(), "quad.bmp",
                                            state.overlay->texture.put());
        state.model->release();
        uint32_t count = 0;
        platform::Ref<platform::D3DXBuffer> materials;
        platform::D3DXLoadMeshFromX("held.x", 0, state.device.get(), nullptr, materials.put(),
                                    nullptr, &count, state.model->mesh.put());
    });
    ASSERT_EQ(runToExit(), 0u);

    std::vector<std::string> releases;
    bool started = false;
    for (const fake::Call& call : fake::state().calls) {
        if (call.name == "PeekMessageA") started = true;
        if (started && (shell_test::endsWith(call.name, ".Release") ||
                        call.name == "CoUninitialize" || call.name == "ExitProcess"))
            releases.push_back(call.name.substr(0, call.name.find('#')));
    }
    // The material buffer of the stand-in load above goes first, in the test.
    ASSERT_FALSE(releases.empty());
    if (releases.front() == "Buffer") releases.erase(releases.begin());
    EXPECT_EQ(releases,
              (std::vector<std::string>{"Texture", "Mesh", "DirectInput", "Font", "Device",
                                        "Direct3D", "CoUninitialize", "ExitProcess"}));
    EXPECT_EQ(viewerState().overlay, nullptr);
    EXPECT_EQ(viewerState().model, nullptr);
    EXPECT_EQ(fake::state().liveObjects, 0);
    EXPECT_EQ(fake::state().overReleases, 0);
}

}  // namespace
