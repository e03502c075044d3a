#include "render/graphics_device.h"

#include "controls/viewer_state.h"
#include "platform/graphics.h"
#include "platform/window_system.h"
#include "platform/windows_values.h"

namespace {

constexpr uint32_t kClearTargetAndDepth = platform::D3DCLEAR_TARGET | platform::D3DCLEAR_ZBUFFER;
constexpr uint32_t kOpaqueBlack = 0xFF000000;

constexpr uint32_t kSceneLightIndex = 2;
constexpr platform::Guid kDirectInput8A{
    0xBF798030, 0x483A, 0x4DA2, {0xAA, 0x99, 0x5D, 0x64, 0xED, 0x36, 0x97, 0x00}};

constexpr uint32_t kMessageBoxError = platform::MB_OK | platform::MB_ICONERROR;

// While the device is lost and cannot be reset yet (a locked screen, a
// display mode being changed), recovery waits this long for messages on each
// try instead of calling Reset, which cannot work then.
constexpr uint32_t kLostDeviceWait = 50;  // milliseconds

struct DeviceAttempt {
    uint32_t deviceType;
    uint32_t behaviourFlags;
};
constexpr DeviceAttempt kDeviceAttempts[] = {
    {platform::D3DDEVTYPE_HAL, platform::D3DCREATE_HARDWARE_VERTEXPROCESSING},
    {platform::D3DDEVTYPE_HAL, platform::D3DCREATE_SOFTWARE_VERTEXPROCESSING},
    {platform::D3DDEVTYPE_REF, platform::D3DCREATE_SOFTWARE_VERTEXPROCESSING},
};

void fillPresentParameters(platform::PresentParameters& parameters, platform::WindowHandle window,
                           int32_t width, int32_t height) {
    parameters = platform::PresentParameters{};
    parameters.backBufferWidth = static_cast<uint32_t>(width);
    parameters.backBufferHeight = static_cast<uint32_t>(height);
    parameters.backBufferFormat = platform::D3DFMT_R5G6B5;
    parameters.backBufferCount = 1;
    parameters.multiSampleType = 0;
    parameters.multiSampleQuality = 0;
    parameters.swapEffect = platform::D3DSWAPEFFECT_DISCARD;
    parameters.deviceWindow = window;
    parameters.windowed = 1;
    parameters.enableAutoDepthStencil = 1;
    parameters.autoDepthStencilFormat = platform::D3DFMT_D16;
    parameters.flags = 0;
    parameters.fullScreenRefreshRate = 0;
    parameters.presentationInterval = platform::D3DPRESENT_INTERVAL_ONE;
}

}  // namespace

bool initRenderer() {
    const ViewerState& state = viewerState();
    return initGraphics(state.displayWindow, state.backBufferWidth, state.backBufferHeight);
}

bool initGraphics(platform::WindowHandle window, int32_t width, int32_t height) {
    platform::CoInitialize(nullptr);
    if (!createDevice(window, width, height)) return false;
    if (!createTextFont()) return false;
    if (!createDirectInput()) return false;
    return true;
}

bool createDevice(platform::WindowHandle window, int32_t width, int32_t height) {
    ViewerState& state = viewerState();
    state.direct3d =
        platform::Ref<platform::Direct3D9>(platform::Direct3DCreate9(platform::D3D_SDK_VERSION));
    if (!state.direct3d) {
        // "Direct3D オブジェクトの生成に失敗しました。", "エラー"
        platform::MessageBoxA(nullptr,
                              "Direct3D \x83\x49\x83\x75\x83\x57\x83\x46\x83\x4e\x83\x67\x82\xcc"
                              "\x90\xb6\x90\xac\x82\xc9\x8e\xb8\x94\x73\x82\xb5\x82\xdc\x82\xb5"
                              "\x82\xbd\x81\x42",
                              "\x83\x47\x83\x89\x81\x5b", kMessageBoxError);
        platform::ExitProcess(0);
    }
    fillPresentParameters(state.presentParameters, window, width, height);
    for (const DeviceAttempt& attempt : kDeviceAttempts) {
        if (state.direct3d->CreateDevice(platform::D3DADAPTER_DEFAULT, attempt.deviceType, window,
                                         attempt.behaviourFlags, &state.presentParameters,
                                         state.device.put()) == 0)
            return true;
    }
    return false;
}

bool createTextFont() {
    ViewerState& state = viewerState();
    platform::FontDescription description{};
    description.height = 14;
    description.width = 0;
    description.weight = platform::FW_NORMAL;
    description.mipLevels = 0;
    description.italic = 0;
    description.charSet = platform::SHIFTJIS_CHARSET;
    description.outputPrecision = 0;
    description.quality = 0;
    description.pitchAndFamily = 0;
    return platform::D3DXCreateFontIndirect(state.device.get(), &description,
                                            state.textFont.put()) == 0;
}

bool createDirectInput() {
    ViewerState& state = viewerState();
    return platform::DirectInput8Create(platform::GetModuleHandleA(nullptr),
                                        platform::DIRECTINPUT_VERSION, &kDirectInput8A,
                                        state.directInput.put(), nullptr) == 0;
}

void beginScene() { viewerState().device->BeginScene(); }

void clearScene() {
    viewerState().device->Clear(0, nullptr, kClearTargetAndDepth, kOpaqueBlack, 1.0f, 0);
}

void endScene() { viewerState().device->EndScene(); }

int32_t presentScene() { return viewerState().device->Present(nullptr, nullptr, nullptr, nullptr); }

int32_t recoverDevice() {
    ViewerState& state = viewerState();
    const int32_t level = state.device->TestCooperativeLevel();
    if (level == 0) return 0;
    if (level == platform::D3DERR_DEVICELOST) {
        platform::MsgWaitForMultipleObjects(kLostDeviceWait, platform::QS_ALLINPUT);
        return level;
    }
    state.textFont->OnLostDevice();
    const int32_t result = state.device->Reset(&state.presentParameters);
    state.textFont->OnResetDevice();
    applySceneLight();
    return result;
}

void applySceneLight() {
    ViewerState& state = viewerState();
    platform::Light light{};
    light.type = platform::D3DLIGHT_DIRECTIONAL;
    light.diffuse = {0.2f, 0.2f, 0.2f, 0.2f};
    light.specular = {0.3f, 0.3f, 0.3f, 0.3f};
    light.ambient = {state.ambientRed, state.ambientGreen, state.ambientBlue, 1.0f};
    light.position = {0.0f, 0.0f, 0.0f};
    light.direction = {0.0f, 0.0f, 1.0f};
    state.device->SetLight(kSceneLightIndex, &light);
    state.device->LightEnable(kSceneLightIndex, 1);
    state.device->SetRenderState(platform::D3DRS_SPECULARENABLE, 1);
    state.device->SetRenderState(platform::D3DRS_LIGHTING, 1);
}

void releaseGraphics() {
    ViewerState& state = viewerState();
    state.directInput.reset();
    state.textFont.reset();
    state.device.reset();
    state.direct3d.reset();
    platform::CoUninitialize();
}
