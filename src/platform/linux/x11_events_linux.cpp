#include "platform/linux/x11_events_linux.h"

#include <X11/XKBlib.h>
#include <X11/extensions/Xrandr.h>

#include "platform/linux/clipboard_linux.h"
#include "platform/linux/input_events_linux.h"
#include "platform/linux/key_state_linux.h"
#include "platform/linux/message_queue_linux.h"
#include "platform/linux/window_record_linux.h"
#include "platform/linux/x11_display_linux.h"
#include "platform/windows_values.h"

namespace platform::x11 {
namespace {

void onExpose(const XExposeEvent& event) {
    WindowObject* window = windowOfX(event.window);
    if (window == nullptr) return;
    const Point origin = clientInXWindow(*window);
    invalidate(*window, {event.x - origin.x, event.y - origin.y, event.x + event.width - origin.x,
                         event.y + event.height - origin.y});
}

void onConfigure(const XEvent& event) {
    const XConfigureEvent& configure = event.xconfigure;
    const ::Window root = DefaultRootWindow(display());
    if (configure.window == root) {
        displayChanged();  // the screen's size
        return;
    }
    if (configure.event == root) {  // any window at the root, ours among them
        keepTopmostAbove(event);
        return;
    }
    WindowObject* window = windowOfX(configure.window);
    if (window != nullptr && isTopLevel(*window)) noteConfigured(*window, configure);
}

void onMapping(const XEvent& event, bool mapped) {
    const ::Window root = DefaultRootWindow(display());
    const ::Window changed = mapped ? event.xmap.window : event.xunmap.window;
    const ::Window reported = mapped ? event.xmap.event : event.xunmap.event;
    if (reported == root) {
        if (mapped) keepTopmostAbove(event);
        return;
    }
    WindowObject* window = windowOfX(changed);
    if (window == nullptr) return;
    if (mapped && isTopLevel(*window)) {
        noteMapped(*window);
    } else {
        window->mapped = mapped;
    }
}

void onReparent(const XReparentEvent& event) {
    if (event.event != event.window) return;
    if (WindowObject* window = windowOfX(event.window))
        window->reparented = event.parent != DefaultRootWindow(display());
}

void onProperty(const XPropertyEvent& event) {
    if (event.atom != atoms().wmState) return;
    if (WindowObject* window = windowOfX(event.window)) noteWindowState(*window);
}

// A window manager's close: WM_CLOSE, as the close box gives it on Windows.
void onClientMessage(const XClientMessageEvent& event) {
    const Atoms& names = atoms();
    if (event.message_type != names.wmProtocols || event.format != 32 ||
        static_cast<Atom>(event.data.l[0]) != names.wmDeleteWindow)
        return;
    if (WindowObject* window = windowOfX(event.window)) postMessage(window->handle, WM_CLOSE, 0, 0);
}

bool handleExtensionEvent(XEvent& event) {
    const ExtensionEvents& extensions = extensionEvents();
    if (extensions.randr >= 0 && (event.type == extensions.randr + RRScreenChangeNotify ||
                                  event.type == extensions.randr + RRNotify)) {
        XRRUpdateConfiguration(&event);
        displayChanged();
        return true;
    }
    if (extensions.xkb >= 0 && event.type == extensions.xkb) {
        const auto& keyboard = reinterpret_cast<const XkbEvent&>(event);
        switch (keyboard.any.xkb_type) {
            case XkbStateNotify:
                noteKeyboardState(keyboard.state.locked_mods, keyboard.state.group);
                break;
            case XkbNewKeyboardNotify:  // setxkbmap and the like
            case XkbMapNotify:
                keyboardMappingChanged();
                break;
            default:
                break;
        }
        return true;
    }
    return false;
}

}  // namespace

void drainEvents() {
    Display* connection = display();
    if (connection == nullptr) return;
    while (XPending(connection) > 0) {
        XEvent event{};
        XNextEvent(connection, &event);
        handleEvent(event);
    }
}

void handleEvent(XEvent& event) {
    noteEventTime(event);
    // The input method takes the key events it composes from.
    if (XFilterEvent(&event, None)) return;
    if (handleExtensionEvent(event)) return;
    switch (event.type) {
        case Expose:
            onExpose(event.xexpose);
            break;
        case ConfigureNotify:
            onConfigure(event);
            break;
        case MapNotify:
            onMapping(event, true);
            break;
        case UnmapNotify:
            onMapping(event, false);
            break;
        case ReparentNotify:
            onReparent(event.xreparent);
            break;
        case PropertyNotify:
            onProperty(event.xproperty);
            break;
        case ClientMessage:
            onClientMessage(event.xclient);
            break;
        case SelectionRequest:
            answerSelectionRequest(event.xselectionrequest);
            break;
        case SelectionClear:
            noteSelectionCleared(event.xselectionclear);
            break;
        case ButtonPress:
        case ButtonRelease:
            handleButton(event.xbutton, event.type == ButtonPress);
            break;
        case MotionNotify:
            handleMotion(event.xmotion);
            break;
        case KeyPress:
        case KeyRelease:
            handleKey(event.xkey, event.type == KeyPress);
            break;
        case FocusIn:
        case FocusOut:
            handleFocus(event.xfocus, event.type == FocusIn);
            break;
        case KeymapNotify:
            resyncKeyState(event.xkeymap.key_vector);
            break;
        case MappingNotify:
            XRefreshKeyboardMapping(&event.xmapping);
            keyboardMappingChanged();
            break;
        default:
            break;
    }
}

}  // namespace platform::x11
