// The graphics device side: creation with its fallbacks and fixed records,
// the frame calls, recovery of a lost device, the scene light and release.
#include "render/graphics_device.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "app_test_support.h"
#include "platform/graphics.h"
#include "platform/window_system.h"

namespace {

using shell_test::has;
using shell_test::textsOf;

const auto kWindow = reinterpret_cast<platform::WindowHandle>(uintptr_t{0x4242});
const std::string kWindowName = fake::handleName(kWindow);

constexpr int64_t kDeviceLost = -2005530520;      // D3DERR_DEVICELOST
constexpr int64_t kDeviceNotReset = -2005530519;  // D3DERR_DEVICENOTRESET
constexpr int64_t kNotAvailable = -2005530518;    // D3DERR_NOTAVAILABLE

// The graphics calls, named by the object's kind only ("Device.Reset(&)"),
// and the free calls as they are.
std::vector<std::string> calls(const std::vector<std::string>& only = {}) {
    std::vector<std::string> result;
    for (fake::Call call : fake::state().calls) {
        const size_t hash = call.name.find('#');
        if (hash != std::string::npos)
            call.name = call.name.substr(0, hash) + call.name.substr(call.name.find('.'));
        bool wanted = only.empty();
        for (const std::string& name : only)
            wanted = wanted || shell_test::endsWith(call.name, name);
        if (wanted) result.push_back(call.text());
    }
    return result;
}

void expectSameParameters(const platform::PresentParameters& a,
                          const platform::PresentParameters& b) {
    EXPECT_EQ(a.backBufferWidth, b.backBufferWidth);
    EXPECT_EQ(a.backBufferHeight, b.backBufferHeight);
    EXPECT_EQ(a.backBufferFormat, b.backBufferFormat);
    EXPECT_EQ(a.backBufferCount, b.backBufferCount);
    EXPECT_EQ(a.multiSampleType, b.multiSampleType);
    EXPECT_EQ(a.multiSampleQuality, b.multiSampleQuality);
    EXPECT_EQ(a.swapEffect, b.swapEffect);
    EXPECT_EQ(a.deviceWindow, b.deviceWindow);
    EXPECT_EQ(a.windowed, b.windowed);
    EXPECT_EQ(a.enableAutoDepthStencil, b.enableAutoDepthStencil);
    EXPECT_EQ(a.autoDepthStencilFormat, b.autoDepthStencilFormat);
    EXPECT_EQ(a.flags, b.flags);
    EXPECT_EQ(a.fullScreenRefreshRate, b.fullScreenRefreshRate);
    EXPECT_EQ(a.presentationInterval, b.presentationInterval);
}

class GraphicsDeviceTest : public fake_test::FakeTest {
protected:
    // A device side that is up, with the log cleared.
    void bringUp() {
        viewerState().displayWindow = kWindow;
        ASSERT_TRUE(initRenderer());
        fake::state().clearLog();
    }
};

TEST_F(GraphicsDeviceTest, InitRendererBringsUpEverythingOnTheDisplayWindow) {
    viewerState().displayWindow = kWindow;
    ASSERT_TRUE(initRenderer());
    const std::vector<std::string> made = calls();
    const std::string instance = fake::handleName(platform::GetModuleHandleA(nullptr));
    EXPECT_EQ(made, (std::vector<std::string>{
                        "CoInitialize(null)",
                        "Direct3DCreate9(32)",
                        "Direct3D.CreateDevice(0, 1, " + kWindowName + ", 0x40, &, &)",
                        "D3DXCreateFontIndirect(device, &, &)",
                        "GetModuleHandleA(null)",
                        "DirectInput8Create(" + instance +
                            ", 0x800, "
                            "BF798030-483A-4DA2-AA99-5D64ED369700, &, null)",
                    }));
    const ViewerState& state = viewerState();
    EXPECT_TRUE(state.direct3d);
    EXPECT_TRUE(state.device);
    EXPECT_TRUE(state.textFont);
    EXPECT_TRUE(state.directInput);
}

TEST_F(GraphicsDeviceTest, PresentParametersAreTheFixedRecordForTheGivenWindowAndSize) {
    ASSERT_TRUE(initGraphics(kWindow, 300, 200));
    platform::PresentParameters expected{};
    expected.backBufferWidth = 300;
    expected.backBufferHeight = 200;
    expected.backBufferFormat = 23;  // R5G6B5, whatever the desktop's format
    expected.backBufferCount = 1;
    expected.multiSampleType = 0;
    expected.multiSampleQuality = 0;
    expected.swapEffect = 1;  // discard
    expected.deviceWindow = kWindow;
    expected.windowed = 1;
    expected.enableAutoDepthStencil = 1;
    expected.autoDepthStencilFormat = 80;  // D16
    expected.flags = 0;
    expected.fullScreenRefreshRate = 0;
    expected.presentationInterval = 1;  // wait for the retrace
    expectSameParameters(fake::state().lastPresentParameters, expected);
    expectSameParameters(viewerState().presentParameters, expected);

    // From the state, the back buffer is 594 by 578.
    fake_test::resetStateAndFake();
    viewerState().displayWindow = kWindow;
    ASSERT_TRUE(initRenderer());
    EXPECT_EQ(fake::state().lastPresentParameters.backBufferWidth, 594u);
    EXPECT_EQ(fake::state().lastPresentParameters.backBufferHeight, 578u);
}

TEST_F(GraphicsDeviceTest, FontDescriptionNamesNoFace) {
    bringUp();
    const platform::FontDescription& font = fake::state().lastFontDescription;
    EXPECT_EQ(font.height, 14);
    EXPECT_EQ(font.width, 0u);
    EXPECT_EQ(font.weight, 400u);
    EXPECT_EQ(font.mipLevels, 0u);
    EXPECT_EQ(font.italic, 0);
    EXPECT_EQ(font.charSet, 128);
    EXPECT_EQ(font.outputPrecision, 0);
    EXPECT_EQ(font.quality, 0);
    EXPECT_EQ(font.pitchAndFamily, 0);
    const char empty[sizeof font.faceName] = {};
    EXPECT_EQ(std::memcmp(font.faceName, empty, sizeof empty), 0);
}

// The device creation attempts: scripted results, the attempts made, the outcome.
struct Fallback {
    const char* name;
    std::vector<int64_t> results;
    std::vector<std::string> attempts;  // "type flags"
    bool created;
};

void PrintTo(const Fallback& value, std::ostream* os) { *os << value.name; }

class DeviceFallbackTest : public fake_test::FakeTest,
                           public ::testing::WithParamInterface<Fallback> {};

TEST_P(DeviceFallbackTest, StopsAtTheFirstAttemptThatReturnsExactlyZero) {
    const Fallback& fallback = GetParam();
    for (int64_t result : fallback.results)
        fake::state().results["Direct3D.CreateDevice"].push_back(result);
    EXPECT_EQ(createDevice(kWindow, 594, 578), fallback.created);
    std::vector<std::string> attempts;
    for (const fake::Call& call : fake::state().calls) {
        if (!shell_test::endsWith(call.name, ".CreateDevice")) continue;
        EXPECT_EQ(call.args.at(0), "0");
        EXPECT_EQ(call.args.at(2), kWindowName);
        EXPECT_EQ(call.args.at(4), "&");
        EXPECT_EQ(call.args.at(5), "&");
        attempts.push_back(call.args.at(1) + " " + call.args.at(3));
    }
    EXPECT_EQ(attempts, fallback.attempts);
    EXPECT_EQ(static_cast<bool>(viewerState().device), fallback.created);
    // The failure shows nothing here; the start-up reports it.
    EXPECT_FALSE(has(fake::state().calls, "MessageBoxA"));
}

INSTANTIATE_TEST_SUITE_P(
    Attempts, DeviceFallbackTest,
    ::testing::Values(
        Fallback{"HardwareVertexProcessing", {0}, {"1 0x40"}, true},
        Fallback{"SoftwareVertexProcessing", {kNotAvailable}, {"1 0x40", "1 0x20"}, true},
        // A positive result is not success either.
        Fallback{"ReferenceRasteriser", {kNotAvailable, 1}, {"1 0x40", "1 0x20", "2 0x20"}, true},
        Fallback{"None",
                 {kNotAvailable, kNotAvailable, kNotAvailable},
                 {"1 0x40", "1 0x20", "2 0x20"},
                 false}),
    [](const ::testing::TestParamInfo<Fallback>& param) { return param.param.name; });

TEST_F(GraphicsDeviceTest, EachFailingStepEndsTheChainAndKeepsWhatWasMade) {
    fake::state().script("D3DXCreateFontIndirect", {1});
    EXPECT_FALSE(initGraphics(kWindow, 594, 578));
    EXPECT_FALSE(has(fake::state().calls, "DirectInput8Create"));
    EXPECT_FALSE(has(fake::state().calls, ".Release"));
    EXPECT_TRUE(viewerState().device);

    fake_test::resetStateAndFake();
    fake::state().script("DirectInput8Create", {kDeviceLost});
    EXPECT_FALSE(initGraphics(kWindow, 594, 578));
    EXPECT_FALSE(has(fake::state().calls, ".Release"));
    EXPECT_TRUE(viewerState().textFont);
    EXPECT_FALSE(viewerState().directInput);
}

TEST_F(GraphicsDeviceTest, NoDirect3DObjectEndsTheProcessWithItsMessage) {
    fake::state().direct3dAvailable = false;
    try {
        initGraphics(kWindow, 594, 578);
        ADD_FAILURE() << "the process should have ended";
    } catch (const fake::ProcessExit& exit) {
        EXPECT_EQ(exit.code, 0u);
    }
    EXPECT_EQ(calls(),
              (std::vector<std::string>{"CoInitialize(null)", "Direct3DCreate9(32)",
                                        "MessageBoxA(null, " + shell_test::kNoDirect3DText + ", " +
                                            shell_test::kErrorCaption + ", 0x10)",
                                        "ExitProcess(0)"}));
}

TEST_F(GraphicsDeviceTest, FrameCallsBracketTheSceneAndPresentReportsItsResult) {
    bringUp();
    beginScene();
    clearScene();
    endScene();
    EXPECT_EQ(presentScene(), 0);
    fake::state().script("Device.Present", {kDeviceLost, 1});
    EXPECT_EQ(presentScene(), kDeviceLost);
    EXPECT_EQ(presentScene(), 1);
    EXPECT_EQ(calls(), (std::vector<std::string>{
                           "Device.BeginScene()", "Device.Clear(0, null, 0x3, 0xff000000, 1, 0)",
                           "Device.EndScene()", "Device.Present(null, null, null, null)",
                           "Device.Present(null, null, null, null)",
                           "Device.Present(null, null, null, null)"}));
}

TEST_F(GraphicsDeviceTest, RecoveryWithACooperativeDeviceResetsNothing) {
    bringUp();
    EXPECT_EQ(recoverDevice(), 0);
    EXPECT_EQ(calls(), (std::vector<std::string>{"Device.TestCooperativeLevel()"}));
}

TEST_F(GraphicsDeviceTest, RecoveryResetsWithTheCreationParametersWhateverTheResults) {
    bringUp();
    const std::vector<std::string> recovery = {
        "Device.TestCooperativeLevel()", "Font.OnLostDevice()",          "Device.Reset(&)",
        "Font.OnResetDevice()",          "Device.SetLight(2, &)",        "Device.LightEnable(2, 1)",
        "Device.SetRenderState(29, 1)",  "Device.SetRenderState(137, 1)"};

    fake::state().script("Device.TestCooperativeLevel", {kDeviceNotReset});
    fake::state().script("Device.Reset", {kDeviceLost});
    EXPECT_EQ(recoverDevice(), kDeviceLost);
    EXPECT_EQ(calls(), recovery);
    expectSameParameters(fake::state().lastResetParameters, fake::state().lastPresentParameters);

    fake::state().clearLog();
    fake::state().script("Device.TestCooperativeLevel", {-2005530585});  // a driver's error
    EXPECT_EQ(recoverDevice(), 0);
    EXPECT_EQ(calls(), recovery);
    expectSameParameters(fake::state().lastResetParameters, fake::state().lastPresentParameters);
}

TEST_F(GraphicsDeviceTest, ADeviceThatCannotBeResetYetIsWaitedForNotReset) {
    bringUp();
    fake::state().script("Device.TestCooperativeLevel", {kDeviceLost});
    EXPECT_EQ(recoverDevice(), kDeviceLost);
    // A short wait that any input ends (QS_ALLINPUT), and nothing else.
    EXPECT_EQ(calls(), (std::vector<std::string>{"Device.TestCooperativeLevel()",
                                                 "MsgWaitForMultipleObjects(50, 0x4ff)"}));
}

TEST_F(GraphicsDeviceTest, SceneLightReadsTheAmbientColourEachTime) {
    bringUp();
    applySceneLight();
    ViewerState& state = viewerState();
    state.ambientRed = 0.05f;
    state.ambientGreen = 0.5f;
    state.ambientBlue = 1.0f;
    applySceneLight();
    EXPECT_EQ(
        calls({".SetLight", ".LightEnable", ".SetRenderState"}),
        (std::vector<std::string>{
            "Device.SetLight(2, &)", "Device.LightEnable(2, 1)", "Device.SetRenderState(29, 1)",
            "Device.SetRenderState(137, 1)", "Device.SetLight(2, &)", "Device.LightEnable(2, 1)",
            "Device.SetRenderState(29, 1)", "Device.SetRenderState(137, 1)"}));
    ASSERT_EQ(fake::state().lights.size(), 2u);
    EXPECT_FLOAT_EQ(fake::state().lights[0].ambient.r, 0.99f);

    const platform::Light& light = fake::state().lights[1];
    EXPECT_EQ(light.type, 3u);
    const float diffuse[] = {light.diffuse.r, light.diffuse.g, light.diffuse.b, light.diffuse.a};
    const float specular[] = {light.specular.r, light.specular.g, light.specular.b,
                              light.specular.a};
    for (float value : diffuse) EXPECT_FLOAT_EQ(value, 0.2f);
    for (float value : specular) EXPECT_FLOAT_EQ(value, 0.3f);
    EXPECT_EQ(light.ambient.r, 0.05f);
    EXPECT_EQ(light.ambient.g, 0.5f);
    EXPECT_EQ(light.ambient.b, 1.0f);
    EXPECT_EQ(light.ambient.a, 1.0f);
    const float zeros[] = {light.position.x,   light.position.y,   light.position.z,
                           light.range,        light.falloff,      light.attenuation0,
                           light.attenuation1, light.attenuation2, light.theta,
                           light.phi,          light.direction.x,  light.direction.y};
    for (float value : zeros) EXPECT_EQ(value, 0.0f);
    EXPECT_EQ(light.direction.z, 1.0f);
}

TEST_F(GraphicsDeviceTest, ReleaseGoesInputFontDeviceDirect3DThenCom) {
    bringUp();
    releaseGraphics();
    EXPECT_EQ(calls(), (std::vector<std::string>{"DirectInput.Release()", "Font.Release()",
                                                 "Device.Release()", "Direct3D.Release()",
                                                 "CoUninitialize()"}));
    EXPECT_EQ(fake::state().liveObjects, 0);
    EXPECT_EQ(fake::state().overReleases, 0);

    // A second release finds nothing left but COM.
    fake::state().clearLog();
    releaseGraphics();
    EXPECT_EQ(calls(), (std::vector<std::string>{"CoUninitialize()"}));
    EXPECT_EQ(fake::state().overReleases, 0);
}

TEST_F(GraphicsDeviceTest, ReleaseSkipsWhatWasNeverMade) {
    fake::state().script("D3DXCreateFontIndirect", {1});
    EXPECT_FALSE(initGraphics(kWindow, 594, 578));
    fake::state().clearLog();
    releaseGraphics();
    EXPECT_EQ(calls(), (std::vector<std::string>{"Device.Release()", "Direct3D.Release()",
                                                 "CoUninitialize()"}));
    EXPECT_EQ(fake::state().liveObjects, 0);

    fake_test::resetStateAndFake();
    releaseGraphics();
    EXPECT_EQ(calls(), (std::vector<std::string>{"CoUninitialize()"}));
}

}  // namespace
