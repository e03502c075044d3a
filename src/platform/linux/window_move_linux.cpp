#include "platform/linux/input_events_linux.h"
#include "platform/linux/message_queue_linux.h"
#include "platform/linux/window_manager_linux.h"
#include "platform/linux/window_record_linux.h"
#include "platform/linux/x11_display_linux.h"
#include "platform/linux/x11_events_linux.h"

namespace platform::x11 {
namespace {

// How long the loop waits for an event before it asks whether the button
// is still down (a release may have gone to another program's grab).
constexpr int kQuietMilliseconds = 100;

struct Pointer {
    Point at;
    bool buttonDown = false;
};

Pointer queryPointer(Display* connection, ::Window window) {
    ::Window root = None;
    ::Window child = None;
    int x = 0;
    int y = 0;
    int windowX = 0;
    int windowY = 0;
    unsigned int mask = 0;
    if (!XQueryPointer(connection, window, &root, &child, &x, &y, &windowX, &windowY, &mask))
        return {};
    return {{x, y}, (mask & Button1Mask) != 0};
}

class Drag {
public:
    Drag(WindowObject& window, Point anchor)
        : handle_(window.handle), start_(window.place), anchor_(anchor) {}

    // Puts the window where the pointer at `at` takes it; false once the
    // window is gone.
    bool follow(Point at) {
        WindowObject* window = findWindow(handle_);
        if (window == nullptr || window->destroying) return false;
        const int32_t dx = at.x - anchor_.x;
        const int32_t dy = at.y - anchor_.y;
        window->place = {start_.left + dx, start_.top + dy, start_.right + dx, start_.bottom + dy};
        placeXWindow(*window);
        return true;
    }

    WindowHandle handle() const { return handle_; }

private:
    WindowHandle handle_;
    Rect start_;
    Point anchor_;
};

// Handles what has arrived; false once the drag is over.
bool takeEvents(Display* connection, Drag& drag) {
    while (XPending(connection) > 0) {
        XEvent event{};
        XNextEvent(connection, &event);
        noteEventTime(event);
        if (event.type == MotionNotify) {
            // Only the latest place counts.
            while (XCheckTypedEvent(connection, MotionNotify, &event)) {
            }
            if (!drag.follow({event.xmotion.x_root, event.xmotion.y_root})) return false;
        } else if (event.type == ButtonRelease && event.xbutton.button == Button1) {
            drag.follow({event.xbutton.x_root, event.xbutton.y_root});
            return false;
        } else {
            handleEvent(event);
            if (findWindow(drag.handle()) == nullptr) return false;
        }
    }
    return true;
}

}  // namespace

void moveWithPointer(WindowObject& window) {
    Display* connection = display();
    if (connection == nullptr || !isTopLevel(window)) return;
    const Pointer now = queryPointer(connection, window.xwindow);
    if (!now.buttonDown) return;  // let go already
    if (beginManagerDrag(window, lastPressPoint())) return;
    const ::Window xwindow = window.xwindow;
    Drag drag(window, lastPressPoint());
    XGrabPointer(connection, xwindow, False, ButtonReleaseMask | PointerMotionMask, GrabModeAsync,
                 GrabModeAsync, None, None, CurrentTime);
    bool going = drag.follow(now.at);
    while (going) {
        if (!waitForConnection(kQuietMilliseconds)) {
            if (findWindow(drag.handle()) == nullptr) break;
            const Pointer quiet = queryPointer(connection, xwindow);
            going = quiet.buttonDown && drag.follow(quiet.at);
        } else {
            going = takeEvents(connection, drag);
        }
        // The windows stay drawn while the program's own loop waits.
        paintWaitingWindows();
        XFlush(connection);
    }
    XUngrabPointer(connection, CurrentTime);
    XFlush(connection);
}

}  // namespace platform::x11
