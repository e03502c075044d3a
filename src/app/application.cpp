#include "app/application.h"

#include <memory>

#include "app/frame_pacing.h"
#include "capture/screen_capture.h"
#include "controls/keyboard.h"
#include "controls/viewer_state.h"
#include "panel/panel_window.h"
#include "platform/window_system.h"
#include "platform/windows_values.h"
#include "render/graphics_device.h"
#include "render/model_mesh.h"
#include "render/scene_frame.h"
#include "render/tint_quad.h"

namespace {

constexpr uint32_t kCommonControlsRecordSize = 8;

constexpr uint32_t kWindowClassRecordSize = 48;
constexpr uint32_t kClassStyle = platform::CS_VREDRAW | platform::CS_HREDRAW | platform::CS_DBLCLKS;

// An overlapped window without a maximise box, and a framed popup.
constexpr uint32_t kDisplayWindowStyle = platform::WS_VISIBLE | platform::WS_CLIPCHILDREN |
                                         platform::WS_CAPTION | platform::WS_SYSMENU |
                                         platform::WS_THICKFRAME | platform::WS_MINIMIZEBOX;
constexpr uint32_t kPanelWindowStyle =
    platform::WS_POPUP | platform::WS_VISIBLE | platform::WS_BORDER | platform::WS_THICKFRAME;

constexpr int32_t kDisplayX = 110;
constexpr int32_t kDisplayY = 100;
constexpr int32_t kDisplayWidth = 600;
constexpr int32_t kDisplayHeight = 610;
constexpr int32_t kPanelWidth = 177;
constexpr int32_t kPanelHeight = 152;

constexpr uint32_t kMessageBoxWarning = platform::MB_OK | platform::MB_ICONWARNING;

void createGdiObjects(ViewerState& state) {
    // Face "ＭＳ Ｐゴシック".
    state.controlFont = platform::CreateFontA(
        -12, 0, 0, 0, platform::FW_NORMAL, 0, 0, 0, platform::SHIFTJIS_CHARSET,
        platform::OUT_STROKE_PRECIS, platform::CLIP_STROKE_PRECIS, platform::DRAFT_QUALITY,
        platform::FF_SWISS, "\x82\x6c\x82\x72 \x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e");
    state.backgroundBrush =
        platform::CreateSolidBrush(platform::GetSysColor(platform::COLOR_BTNFACE));
}

// Registers both classes from one record, as the panel class reuses the
// display class's members with only the procedure and name changed.
void createWindows(ViewerState& state, platform::InstanceHandle instance) {
    platform::WindowClass windowClass{};
    windowClass.size = kWindowClassRecordSize;
    windowClass.style = kClassStyle;
    windowClass.procedure = displayWindowProc;
    windowClass.instance = instance;
    windowClass.icon = platform::LoadIconA(nullptr, platform::IDI_APPLICATION);
    windowClass.cursor = platform::LoadCursorA(nullptr, platform::IDC_ARROW);
    windowClass.background = state.backgroundBrush;
    windowClass.className = "NORMAL0";
    windowClass.smallIcon = platform::LoadIconA(nullptr, platform::IDI_WINLOGO);
    platform::RegisterClassExA(&windowClass);
    platform::CreateWindowExA(0, "NORMAL0", "t462", kDisplayWindowStyle, platform::CW_USEDEFAULT,
                              platform::CW_USEDEFAULT, kDisplayWidth, kDisplayHeight, nullptr, 0,
                              instance, nullptr);

    windowClass.procedure = panelWindowProc;
    windowClass.className = "NORMAL1";
    platform::RegisterClassExA(&windowClass);
    platform::CreateWindowExA(0, "NORMAL1", "com", kPanelWindowStyle, platform::CW_USEDEFAULT,
                              platform::CW_USEDEFAULT, kPanelWidth, kPanelHeight, nullptr, 0,
                              instance, nullptr);
}

void runFrameLoop(ViewerState& state) {
    for (;;) {
        if (platform::PeekMessageA(&state.message, nullptr, 0, 0, platform::PM_REMOVE)) {
            if (state.message.message == platform::WM_QUIT) return;
            platform::TranslateMessage(&state.message);
            platform::DispatchMessageA(&state.message);
        } else {
            runFrame();
        }
    }
}

}  // namespace

void runApplication() {
    ViewerState& state = viewerState();
    platform::InitCommonControlsEx(kCommonControlsRecordSize, platform::ICC_WIN95_CLASSES);
    createGdiObjects(state);
    createWindows(state, platform::GetModuleHandleA(nullptr));
    platform::MoveWindow(state.displayWindow, kDisplayX, kDisplayY, kDisplayWidth, kDisplayHeight,
                         true);
    if (!initRenderer()) {
        // "初期化に失敗しました。"
        platform::MessageBoxA(nullptr,
                              "\x8f\x89\x8a\xfa\x89\xbb\x82\xc9\x8e\xb8\x94\x73\x82\xb5\x82\xdc"
                              "\x82\xb5\x82\xbd\x81\x42",
                              "Error", kMessageBoxWarning);
        platform::ExitProcess(0);
    }
    state.overlay = std::make_unique<TintQuad>();
    state.model = std::make_unique<ModelMesh>();
    state.model->load("model.x");
    runFrameLoop(state);
    shutDown();
    platform::ExitProcess(static_cast<uint32_t>(state.message.wParam));
}

void runFrame() {
    ViewerState& state = viewerState();
    if (state.deviceLost != 0) {
        if (recoverDevice() != 0) return;
        state.deviceLost = 0;
    }
    if (!frameDue()) return;
    state.captureMode = 0;
    captureScreen();
    pollControls();
    beginScene();
    clearScene();
    renderSceneFrame();
    endScene();
    if (presentScene() != 0) state.deviceLost = 1;
}

void shutDown() {
    ViewerState& state = viewerState();
    state.overlay.reset();
    state.model.reset();
    releaseGraphics();
}

intptr_t displayWindowProc(platform::WindowHandle window, uint32_t message, uintptr_t wParam,
                           intptr_t lParam) {
    switch (message) {
        case platform::WM_CREATE:
            viewerState().displayWindow = window;
            return 0;
        case platform::WM_CLOSE:
            platform::DestroyWindow(window);
            return 0;
        case platform::WM_DESTROY:
            quitApplication();
            return 0;
        default:
            return platform::DefWindowProcA(window, message, wParam, lParam);
    }
}

void quitApplication() {
    ViewerState& state = viewerState();
    platform::DeleteObject(state.controlFont);
    platform::DeleteObject(state.backgroundBrush);
    platform::PostQuitMessage(0);
}
