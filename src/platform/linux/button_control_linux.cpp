// The push button: a raised face with its text centred; pressed while the
// mouse button is held over it; a click (press and release over it) is
// BN_CLICKED to the parent. With the keyboard focus (a click gives it), the
// space bar presses it and clicks it when let go, as on Windows; Enter
// clicks it too, as buttons on Linux desktops take it (Windows gives Enter
// to a dialog's default button, and this pop-up is no dialog).
#include <unordered_map>

#include "platform/linux/backend_messages_linux.h"
#include "platform/linux/control_look_linux.h"
#include "platform/linux/controls_linux.h"
#include "platform/linux/focus_linux.h"
#include "platform/linux/fonts_linux.h"
#include "platform/linux/gdi_objects_linux.h"
#include "platform/linux/message_queue_linux.h"
#include "platform/linux/pixels_linux.h"
#include "platform/window_system.h"
#include "platform/windows_values.h"

namespace platform::x11 {
namespace {

struct ButtonState {
    GdiObject font = nullptr;
    bool held = false;       // the mouse button went down on it and is not up yet
    bool over = false;       // the pointer is over it meanwhile
    bool spaceHeld = false;  // the space bar went down on it and is not up yet
};

std::unordered_map<WindowHandle, ButtonState> buttons;

bool contains(const WindowObject& window, intptr_t lParam) {
    const Rect client = clientRectOf(window);
    const int32_t x = pointX(lParam);
    const int32_t y = pointY(lParam);
    return x >= client.left && x < client.right && y >= client.top && y < client.bottom;
}

void paint(WindowObject& window, const ButtonState& state) {
    PaintRecord record{};
    BeginPaint(window.handle, &record);
    const Point origin = clientInXWindow(window);
    const Rect client = clientRectOf(window);
    const Rect face{origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
    const bool pushed = (state.held && state.over) || state.spaceHeld;
    fillArea(window.xwindow, face, systemColour(COLOR_BTNFACE));
    drawEdge(window.xwindow, face, pushed ? Edge::pressed : Edge::raised);
    XftFont* font = fontOrDefault(state.font);
    if (font != nullptr) {
        const int32_t shift = pushed ? 1 : 0;
        const int32_t x = face.left + (client.right - textWidth(font, window.text)) / 2 + shift;
        const int32_t baseline =
            face.top + (client.bottom - (font->ascent + font->descent)) / 2 + font->ascent + shift;
        const Rect inside{face.left + 2, face.top + 2, face.right - 2, face.bottom - 2};
        drawText(window.xwindow, font, x, baseline, window.text, systemColour(COLOR_BTNTEXT),
                 inside);
    }
    constexpr int32_t kFocusInset = 3;
    if (hasKeyboardFocus(window.handle))
        drawFocusRect(window.xwindow, {face.left + kFocusInset, face.top + kFocusInset,
                                       face.right - kFocusInset, face.bottom - kFocusInset});
    EndPaint(window.handle, &record);
}

// The mouse button let go: a click when it is still over the button.
void release(WindowObject& window, ButtonState& state, intptr_t lParam) {
    if (!state.held) return;
    state.held = false;
    invalidateAll(window);
    if (contains(window, lParam)) notifyParent(window.handle, BN_CLICKED);
}

}  // namespace

void notifyParent(WindowHandle control, uint16_t code) {
    const WindowObject* window = findWindow(control);
    if (window == nullptr) return;
    const uintptr_t wParam = (static_cast<uintptr_t>(code) << 16) | (window->id & 0xFFFF);
    sendMessage(window->parent, WM_COMMAND, wParam, reinterpret_cast<intptr_t>(control));
}

intptr_t buttonProcedure(WindowHandle handle, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    WindowObject* window = findWindow(handle);
    if (window == nullptr) return 0;
    if (message == WM_CREATE) buttons[handle] = {};
    auto found = buttons.find(handle);
    if (found == buttons.end()) return DefWindowProcA(handle, message, wParam, lParam);
    ButtonState& state = found->second;
    switch (message) {
        case WM_CREATE:
            return 0;
        case WM_DESTROY:
            buttons.erase(found);
            return 0;
        case WM_SETFONT:
            state.font = reinterpret_cast<GdiObject>(wParam);
            if (lParam != 0) invalidateAll(*window);
            return 0;
        case WM_PAINT:
            paint(*window, state);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:  // the second press of a double click presses it as any
            setFocus(handle);
            state.held = true;
            state.over = true;
            invalidateAll(*window);
            return 0;
        case WM_MOUSEMOVE:
            if (state.held && state.over != contains(*window, lParam)) {
                state.over = !state.over;
                invalidateAll(*window);
            }
            return 0;
        case WM_LBUTTONUP:
            release(*window, state, lParam);
            return 0;
        case WM_KEYDOWN:
            if (wParam == static_cast<uintptr_t>(VK_SPACE) && !state.spaceHeld) {
                state.spaceHeld = true;
                invalidateAll(*window);
            } else if (wParam == static_cast<uintptr_t>(VK_RETURN)) {
                notifyParent(handle, BN_CLICKED);
            }
            return 0;
        case WM_KEYUP:
            if (wParam == static_cast<uintptr_t>(VK_SPACE) && state.spaceHeld) {
                state.spaceHeld = false;
                invalidateAll(*window);
                notifyParent(handle, BN_CLICKED);
            }
            return 0;
        case WM_SETFOCUS:
            invalidateAll(*window);
            return 0;
        case WM_KILLFOCUS:  // the space bar's press ends without a click
            state.spaceHeld = false;
            invalidateAll(*window);
            return 0;
        default:
            return DefWindowProcA(handle, message, wParam, lParam);
    }
}

}  // namespace platform::x11
