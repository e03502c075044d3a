#include "panel/panel_window.h"

#include "app/application.h"
#include "capture/screen_capture.h"
#include "controls/viewer_state.h"
#include "panel/window_shape.h"
#include "platform/window_system.h"
#include "platform/windows_values.h"

namespace {

constexpr uint32_t kChildStyle = platform::WS_CHILD | platform::WS_VISIBLE;

struct ControlLayout {
    uint16_t id;
    const char* className;
    const char* text;
    uint32_t exStyle;
    int32_t x, y, width, height;
};

// Client coordinates of the panel, in creation order.
constexpr ControlLayout kControls[] = {
    {kQuitButtonId, "BUTTON", "\x8f\x49\x97\xb9", 0, 9, 8, 35, 19},  // 終了
    {kSnapshotButtonId, "BUTTON", "\x8e\xca", 0, 50, 8, 20, 19},     // 写
    {kPrefixBoxId, "EDIT", "", platform::WS_EX_CLIENTEDGE, 78, 7, 85, 21},
};

constexpr const char* kSkinFile = "\x98\x67.bmp";  // 枠.bmp
constexpr uint32_t kLoadFromFile = platform::LR_LOADFROMFILE | platform::LR_DEFAULTSIZE;
constexpr uint32_t kKeepPlaceAndSize = platform::SWP_NOSIZE | platform::SWP_NOMOVE;
constexpr int32_t kPrefixCapacity = sizeof ViewerState{}.snapshotPrefix;

void createControls(platform::WindowHandle panel) {
    const ViewerState& state = viewerState();
    for (const ControlLayout& control : kControls) {
        platform::CreateWindowExA(control.exStyle, control.className, control.text, kChildStyle,
                                  control.x, control.y, control.width, control.height, panel,
                                  control.id, platform::GetModuleHandleA(nullptr), nullptr);
        platform::SendMessageA(platform::GetDlgItem(panel, control.id), platform::WM_SETFONT,
                               reinterpret_cast<uintptr_t>(state.controlFont), 0);
    }
}

void handleCommand(uintptr_t wParam) {
    const auto id = static_cast<uint16_t>(wParam & 0xFFFF);
    const auto code = static_cast<uint16_t>((wParam >> 16) & 0xFFFF);
    if (id == kQuitButtonId && code == platform::BN_CLICKED) {
        quitApplication();
    } else if (id == kSnapshotButtonId && code == platform::BN_CLICKED) {
        takeSnapshot();
    } else if (id == kPrefixBoxId && code == platform::EN_CHANGE) {
        readSnapshotPrefix();
    }
}

}  // namespace

void loadPanelSkin() {
    ViewerState& state = viewerState();
    state.skinBitmap =
        platform::LoadImageA(nullptr, kSkinFile, platform::IMAGE_BITMAP, 0, 0, kLoadFromFile);
    bool cutAway = false;
    platform::GdiObject region =
        regionFromBitmap(state.panelWindow, kKeyFromPicture, state.skinBitmap, &cutAway);
    if (cutAway) {
        // A skin of nothing but its key colour (a 1 x 1 picture, or a damaged
        // file that loads as one black picture) would cut the whole panel
        // away, leaving nothing to see, click or drag: go on as without one.
        platform::DeleteObject(region);
        platform::DeleteObject(state.skinBitmap);
        state.skinBitmap = nullptr;
        region = regionFromBitmap(state.panelWindow, kKeyFromPicture, nullptr);
    }
    platform::SetWindowRgn(state.panelWindow, region, true);
    platform::SetWindowPos(state.panelWindow, platform::HWND_TOPMOST, 0, 0, 0, 0,
                           kKeepPlaceAndSize);
}

void paintPanel(platform::DeviceContext dc) {
    const ViewerState& state = viewerState();
    // Without a skin the record stays zero and nothing is copied.
    platform::BitmapRecord bitmap{};
    platform::GetObjectA(state.skinBitmap, static_cast<int32_t>(sizeof bitmap), &bitmap);
    platform::DeviceContext memory = platform::CreateCompatibleDC(dc);
    platform::SelectObject(memory, state.skinBitmap);
    platform::BitBlt(dc, 0, 0, bitmap.width, bitmap.height, memory, 0, 0, platform::SRCCOPY);
    // The skin stays selected: the context goes, the bitmap is kept.
    platform::DeleteDC(memory);
}

void beginPanelDrag() {
    platform::ReleaseCapture();
    platform::SendMessageA(viewerState().panelWindow, platform::WM_NCLBUTTONDOWN,
                           platform::HTCAPTION, 0);
}

void takeSnapshot() {
    viewerState().captureMode = 1;
    captureScreen();
}

void readSnapshotPrefix() {
    ViewerState& state = viewerState();
    platform::GetDlgItemTextA(state.panelWindow, kPrefixBoxId, state.snapshotPrefix,
                              kPrefixCapacity);
    state.snapshotCounter = 0;
}

intptr_t panelWindowProc(platform::WindowHandle window, uint32_t message, uintptr_t wParam,
                         intptr_t lParam) {
    switch (message) {
        case platform::WM_CREATE:
            viewerState().panelWindow = window;
            createControls(window);
            loadPanelSkin();
            return 0;
        case platform::WM_LBUTTONDOWN:
            beginPanelDrag();
            return 0;
        case platform::WM_PAINT: {
            platform::PaintRecord paint{};
            platform::DeviceContext dc = platform::BeginPaint(window, &paint);
            paintPanel(dc);
            platform::EndPaint(window, &paint);
            return 0;
        }
        case platform::WM_DESTROY:
            return 0;
        case platform::WM_CLOSE:
            platform::DestroyWindow(window);
            return 0;
        case platform::WM_COMMAND:
            handleCommand(wParam);
            return 0;
        default:
            return platform::DefWindowProcA(window, message, wParam, lParam);
    }
}
