#include "panel/panel_window.h"

#include "controls/viewer_state.h"
#include "platform/messages.h"
#include "platform/window_system.h"

// Stand-in until the panel is built: a plain window that remembers itself.
intptr_t panelWindowProc(platform::WindowHandle window, uint32_t message, uintptr_t wParam,
                         intptr_t lParam) {
    switch (message) {
        case platform::WM_CREATE:
            viewerState().panelWindow = window;
            return 0;
        case platform::WM_CLOSE:
            platform::DestroyWindow(window);
            return 0;
        case platform::WM_DESTROY:
            return 0;
        default:
            return platform::DefWindowProcA(window, message, wParam, lParam);
    }
}
