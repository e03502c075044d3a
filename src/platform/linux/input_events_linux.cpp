#include "platform/linux/input_events_linux.h"

#include <cstdlib>
#include <string>

#include "platform/linux/backend_messages_linux.h"
#include "platform/linux/focus_linux.h"
#include "platform/linux/input_method_linux.h"
#include "platform/linux/key_mapping_linux.h"
#include "platform/linux/key_state_linux.h"
#include "platform/linux/message_queue_linux.h"
#include "platform/linux/unicode_linux.h"
#include "platform/linux/window_record_linux.h"
#include "platform/linux/x11_display_linux.h"
#include "platform/windows_values.h"

namespace platform::x11 {
namespace {

constexpr intptr_t kReleaseFlags = (intptr_t{1} << 30) | (intptr_t{1} << 31);
// Windows' defaults: a second press within 500 ms and within a 4 x 4 pixel
// square of the first is a double click.
constexpr Time kDoubleClickMilliseconds = 500;
constexpr int kDoubleClickReach = 2;

Point pressPoint{};

// The last press of button 1 that a second one could make a double click.
struct FirstClick {
    ::Window window = None;
    Time time = 0;
    Point at{};
};
FirstClick firstClick;

// Whether this press of button 1 ends a double click, as Windows tells it
// to windows whose class asks for double clicks; a third press starts anew.
bool isDoubleClick(const WindowObject& window, const XButtonEvent& event) {
    const bool second = window.doubleClicks && firstClick.window == event.window &&
                        event.time - firstClick.time <= kDoubleClickMilliseconds &&
                        std::abs(event.x_root - firstClick.at.x) <= kDoubleClickReach &&
                        std::abs(event.y_root - firstClick.at.y) <= kDoubleClickReach;
    firstClick =
        second ? FirstClick{} : FirstClick{event.window, event.time, {event.x_root, event.y_root}};
    return second;
}

// A click activates the window, as on Windows; with a window manager, the
// manager does.
void activateOnClick(WindowObject& window, Time time) {
    WindowObject& topLevel = topLevelOf(window);
    if (topLevel.reparented || !topLevel.mapped) return;
    XRaiseWindow(display(), topLevel.xwindow);
    XSetInputFocus(display(), topLevel.xwindow, RevertToParent, time);
}

Point clientPoint(const WindowObject& window, int x, int y) {
    const Point origin = clientInXWindow(window);
    return {x - origin.x, y - origin.y};
}

bool inside(const Rect& rect, const Point& point) {
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top &&
           point.y < rect.bottom;
}

// The text a key press typed: through the input context when there is one.
std::u32string typedText(XKeyEvent& event, WindowObject& topLevel) {
    char buffer[64];
    KeySym keysym = NoSymbol;
    XIC context = inputContextOf(topLevel);
    if (context == nullptr) {
        const int length = XLookupString(&event, buffer, sizeof buffer, &keysym, nullptr);
        return codePointsOfLatin1(std::string_view(buffer, static_cast<size_t>(length)));
    }
    Status status = 0;
    int length = Xutf8LookupString(context, &event, buffer, sizeof buffer, &keysym, &status);
    std::string text;
    if (status == XBufferOverflow) {
        text.resize(static_cast<size_t>(length));
        length = Xutf8LookupString(context, &event, text.data(), length, &keysym, &status);
        text.resize(static_cast<size_t>(length > 0 ? length : 0));
    } else if (length > 0) {
        text.assign(buffer, static_cast<size_t>(length));
    }
    if (status != XLookupChars && status != XLookupBoth) return {};
    return codePointsOf(text);
}

// lParam of a key message: repeat count 1, the scan code, and for a release
// the previous-state and transition bits.
intptr_t keyParameter(const XKeyEvent& event, bool press) {
    const auto scanCode = static_cast<intptr_t>((event.keycode - 8) & 0xFF);
    return 1 | (scanCode << 16) | (press ? 0 : kReleaseFlags);
}

}  // namespace

// Button 1 as the left button; a press of button 2 (the middle one) too,
// which pastes the primary selection into an edit box.
void handleButton(const XButtonEvent& event, bool press) {
    if (event.button != Button1 && (event.button != Button2 || !press)) return;
    WindowObject* window = windowOfX(event.window);
    if (window == nullptr || window->destroying) return;
    if (press) activateOnClick(*window, event.time);
    const Point point = clientPoint(*window, event.x, event.y);
    if (event.button == Button2) {
        if (inside(clientRectOf(*window), point))
            postMessage(window->handle, WM_MBUTTONDOWN, 0, pointParameter(point.x, point.y));
        return;
    }
    if (press) pressPoint = {event.x_root, event.y_root};
    if (press && !inside(clientRectOf(*window), point)) {
        postMessage(window->handle, WM_NCLBUTTONDOWN, HTBORDER,
                    pointParameter(event.x_root, event.y_root));
        return;
    }
    uint32_t message = WM_LBUTTONUP;
    if (press) message = isDoubleClick(*window, event) ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN;
    postMessage(window->handle, message, press ? MK_LBUTTON : 0, pointParameter(point.x, point.y));
}

void handleMotion(const XMotionEvent& event) {
    WindowObject* window = windowOfX(event.window);
    if (window == nullptr || window->destroying) return;
    const Point point = clientPoint(*window, event.x, event.y);
    const uintptr_t buttons = (event.state & Button1Mask) != 0 ? MK_LBUTTON : 0;
    postMessage(window->handle, WM_MOUSEMOVE, buttons, pointParameter(point.x, point.y));
}

void handleKey(XKeyEvent& event, bool press) {
    WindowObject* window = windowOfX(event.window);
    if (window == nullptr) return;
    WindowObject& topLevel = topLevelOf(*window);
    const WindowHandle target = keyTarget(topLevel);
    std::u32string text;
    if (press) text = typedText(event, topLevel);
    if (event.keycode == 0) {  // an input method's result, no key of its own
        postCharacters(target, text);
        return;
    }
    int32_t key = virtualKeyOfEvent(event);
    if (key == 0 && !text.empty()) key = VK_PACKET;  // text without a key of its own
    if (key == 0) return;
    Message message;
    message.window = target;
    message.message = press ? WM_KEYDOWN : WM_KEYUP;
    message.wParam = static_cast<uintptr_t>(unsidedKey(key));
    message.lParam = keyParameter(event, press);
    postKeyMessage(message, {key, press, std::move(text)});
}

void handleFocus(const XFocusChangeEvent& event, bool in) {
    if (event.mode != NotifyNormal && event.mode != NotifyWhileGrabbed) return;
    if (event.detail == NotifyInferior || event.detail == NotifyPointerRoot ||
        event.detail == NotifyDetailNone)
        return;
    WindowObject* window = windowOfX(event.window);
    if (window == nullptr || !isTopLevel(*window)) return;
    noteActivation(*window, in);
    focusInputContext(*window, in);
}

Point lastPressPoint() { return pressPoint; }

}  // namespace platform::x11
