#include <X11/Xatom.h>
#include <X11/extensions/shape.h>

#include <algorithm>
#include <vector>

#include "platform/linux/gdi_objects_linux.h"
#include "platform/linux/sway_ipc_linux.h"
#include "platform/linux/unsupported_linux.h"
#include "platform/linux/window_manager_linux.h"
#include "platform/linux/window_record_linux.h"
#include "platform/linux/x11_display_linux.h"
#include "platform/window_system.h"
#include "platform/windows_values.h"

namespace platform {
namespace x11 {
namespace {

constexpr long kIconicState = 3;  // WM_STATE
constexpr long kNetWmStateAdd = 1;
constexpr long kNetWmStateRemove = 0;

Rect desktopRect() {
    Display* connection = display();
    if (connection == nullptr) return {};
    const int screen = DefaultScreen(connection);
    return {0, 0, DisplayWidth(connection, screen), DisplayHeight(connection, screen)};
}

// Asks a window manager to add or remove _NET_WM_STATE_ABOVE; before the
// window is mapped the property itself says it.
void announceAbove(WindowObject& window, bool above) {
    Display* connection = display();
    const Atoms& names = atoms();
    if (!window.mapped) {
        if (above) {
            XChangeProperty(connection, window.xwindow, names.netWmState, XA_ATOM, 32,
                            PropModeReplace,
                            reinterpret_cast<const unsigned char*>(&names.netWmStateAbove), 1);
        } else {
            XDeleteProperty(connection, window.xwindow, names.netWmState);
        }
        return;
    }
    XEvent request{};
    request.xclient.type = ClientMessage;
    request.xclient.window = window.xwindow;
    request.xclient.message_type = names.netWmState;
    request.xclient.format = 32;
    request.xclient.data.l[0] = above ? kNetWmStateAdd : kNetWmStateRemove;
    request.xclient.data.l[1] = static_cast<long>(names.netWmStateAbove);
    request.xclient.data.l[3] = 1;  // from an application
    XSendEvent(connection, DefaultRootWindow(connection), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &request);
}

void restack(WindowObject& window, intptr_t insertAfter) {
    Display* connection = display();
    switch (insertAfter) {
        case HWND_TOPMOST:
            setTopmost(window, true);
            break;
        case HWND_NOTOPMOST:
            setTopmost(window, false);
            break;
        case HWND_TOP:
            XRaiseWindow(connection, window.xwindow);
            break;
        case HWND_BOTTOM:
            XLowerWindow(connection, window.xwindow);
            break;
        default:
            break;
    }
}

// Some managers place a new window themselves but follow the program's
// later requests (i3 centres a window asked for at 0, 0, sway every window
// it floats): when one first shows it elsewhere, the program asks once
// more. Only just after the window was first shown: a later move is the
// user's.
void askAgainForPlace(WindowObject& window) {
    constexpr auto kSettling = std::chrono::seconds(2);
    if (!window.mapped || !(window.reparented || underSway()) || window.askedAgain ||
        window.place == window.asked)
        return;
    window.askedAgain = true;
    if (std::chrono::steady_clock::now() - window.firstMapped > kSettling) return;
    window.place = window.asked;
    placeXWindow(window);
}

}  // namespace

void placeXWindow(WindowObject& window) {
    Display* connection = display();
    if (connection == nullptr || window.xwindow == None) return;
    const Rect rect = xRectOf(window);
    const Rect& place = window.place;
    const bool sameSize = window.asked.right - window.asked.left == place.right - place.left &&
                          window.asked.bottom - window.asked.top == place.bottom - place.top;
    window.asked = window.place;
    // sway takes a place only through its own interface, and a configure
    // request would centre the window again. The corner it is given is that
    // of the window rectangle, with or without its frame.
    if (sameSize && window.mapped && isTopLevel(window) && underSway() &&
        swayMoveWindow(window.xwindow, place.left, place.top))
        return;
    // Only without a manager is the configure event our request brings the
    // next word on the window's place. A manager places a window in its own
    // time, and its events may carry a serial from before this request,
    // which it may never answer (sway drops it).
    window.placeSerial = managerRunning() ? 0 : NextRequest(connection);
    XMoveResizeWindow(connection, window.xwindow, rect.left, rect.top,
                      static_cast<unsigned>(std::max(rect.right - rect.left, 1)),
                      static_cast<unsigned>(std::max(rect.bottom - rect.top, 1)));
}

void noteConfigured(WindowObject& window, const XConfigureEvent& event) {
    // Without a window manager our own requests are all that moves the
    // window; an event from before the last one is already out of date.
    if (!event.send_event && !window.reparented && event.serial < window.placeSerial) return;
    Point at{event.x, event.y};
    if (!event.send_event && window.reparented) {
        // Coordinates within the manager's frame: ask where that is.
        ::Window child = None;
        XTranslateCoordinates(display(), window.xwindow, DefaultRootWindow(display()), 0, 0, &at.x,
                              &at.y, &child);
    }
    const Rect before = xRectOf(window);
    const bool resized =
        before.right - before.left != event.width || before.bottom - before.top != event.height;
    const Point origin =
        window.framedByManager ? Point{window.frame.left, window.frame.top} : Point{0, 0};
    const Point extra =
        window.framedByManager ? Point{window.frame.right, window.frame.bottom} : Point{0, 0};
    window.place = {at.x - origin.x, at.y - origin.y, at.x + event.width + extra.x,
                    at.y + event.height + extra.y};
    if (resized) invalidateAll(window);
    askAgainForPlace(window);
}

void noteMapped(WindowObject& window) {
    window.mapped = true;
    if (window.firstMapped == std::chrono::steady_clock::time_point{})
        window.firstMapped = std::chrono::steady_clock::now();
}

void keepTopmostAbove(const XEvent& event) {
    ::Window changed = None;
    bool overrideRedirect = false;
    if (event.type == ConfigureNotify) {
        changed = event.xconfigure.window;
        overrideRedirect = event.xconfigure.override_redirect != False;
    } else if (event.type == MapNotify) {
        changed = event.xmap.window;
        overrideRedirect = event.xmap.override_redirect != False;
    }
    // Menus and the like open over everything for a moment; let them.
    if (changed == None || overrideRedirect) return;
    const WindowObject* mover = windowOfX(changed);
    if (mover != nullptr && mover->topmost) return;
    for (WindowHandle handle : allWindows()) {
        WindowObject* window = findWindow(handle);
        if (window != nullptr && window->topmost && window->mapped && !window->reparented &&
            isTopLevel(*window))
            XRaiseWindow(display(), window->xwindow);
    }
}

void setTopmost(WindowObject& window, bool topmost) {
    if (!isTopLevel(window) || window.xwindow == None) return;
    window.topmost = topmost;
    announceAbove(window, topmost);
    if (topmost) XRaiseWindow(display(), window.xwindow);
}

namespace {

// A compositor shows a window with alpha by its pixels, whatever its X
// shape: what a new shape cuts away from a window already drawn is made
// transparent first, while the old shape still lets drawing reach it.
void clearCutAway(const WindowObject& window, ::Region kept, Point offset) {
    Display* connection = display();
    const Rect rect = xRectOf(window);
    XRectangle whole{0, 0, static_cast<unsigned short>(rect.right - rect.left),
                     static_cast<unsigned short>(rect.bottom - rect.top)};
    OwnedRegion cut(XCreateRegion());
    XUnionRectWithRegion(&whole, cut.get(), cut.get());
    OwnedRegion shown(XCreateRegion());
    XUnionRegion(kept, shown.get(), shown.get());
    XOffsetRegion(shown.get(), offset.x, offset.y);
    XSubtractRegion(cut.get(), shown.get(), cut.get());
    const GC gc = XCreateGC(connection, window.xwindow, 0, nullptr);
    XSetRegion(connection, gc, cut.get());
    XSetForeground(connection, gc, 0);  // alpha 0
    XFillRectangle(connection, window.xwindow, gc, 0, 0, whole.width, whole.height);
    XFreeGC(connection, gc);
}

}  // namespace

void applyShape(WindowObject& window) {
    Display* connection = display();
    if (connection == nullptr || window.xwindow == None || !extensionEvents().shape) return;
    if (window.shape == nullptr) {
        XShapeCombineMask(connection, window.xwindow, ShapeBounding, 0, 0, None, ShapeSet);
        return;
    }
    // The region is in window coordinates; the X window may start at the
    // client area.
    const Point offset =
        window.framedByManager ? Point{-window.frame.left, -window.frame.top} : Point{0, 0};
    if (window.withAlpha && window.mapped) clearCutAway(window, window.shape.get(), offset);
    XShapeCombineRegion(connection, window.xwindow, ShapeBounding, offset.x, offset.y,
                        window.shape.get(), ShapeSet);
}

void noteWindowState(WindowObject& window) {
    const Atom wmState = atoms().wmState;
    const std::vector<long> state = propertyItems(window.xwindow, wmState, wmState, 2);
    window.minimised = !state.empty() && state[0] == kIconicState;
}

}  // namespace x11

bool MoveWindow(WindowHandle window, int32_t x, int32_t y, int32_t width, int32_t height,
                bool repaint) {
    x11::WindowObject* found = x11::findWindow(window);
    if (found == nullptr || found->destroying) return false;
    const bool resized = found->place.right - found->place.left != width ||
                         found->place.bottom - found->place.top != height;
    found->place = {x, y, x + width, y + height};
    if (resized) x11::keepFixedSize(*found);
    x11::placeXWindow(*found);
    if (resized && repaint) x11::invalidateAll(*found);
    return true;
}

bool SetWindowPos(WindowHandle window, intptr_t insertAfter, int32_t x, int32_t y, int32_t width,
                  int32_t height, uint32_t flags) {
    x11::supportedOrReported(onlyListedFlags(kListedPositionFlags, flags), "SetWindowPos", "flags",
                             flags);
    x11::WindowObject* found = x11::findWindow(window);
    if (found == nullptr || found->destroying) return false;
    Rect place = found->place;
    if ((flags & SWP_NOMOVE) == 0)
        place = {x, y, x + place.right - place.left, y + place.bottom - place.top};
    if ((flags & SWP_NOSIZE) == 0)
        place = {place.left, place.top, place.left + width, place.top + height};
    if (!(place == found->place)) {
        const bool resized = place.right - place.left != found->place.right - found->place.left ||
                             place.bottom - place.top != found->place.bottom - found->place.top;
        found->place = place;
        if (resized) x11::keepFixedSize(*found);
        x11::placeXWindow(*found);
        x11::invalidateAll(*found);
    }
    if ((flags & SWP_NOZORDER) == 0) x11::restack(*found, insertAfter);
    if ((flags & SWP_SHOWWINDOW) != 0) XMapWindow(x11::display(), found->xwindow);
    if ((flags & SWP_HIDEWINDOW) != 0) XUnmapWindow(x11::display(), found->xwindow);
    return true;
}

namespace {

// A rectangle of a window (`of`), or the desktop's whole for the desktop.
bool rectOfWindow(WindowHandle window, Rect* rect, Rect (*of)(const x11::WindowObject&)) {
    if (rect == nullptr) return false;
    if (window == x11::kDesktopWindow) {
        *rect = x11::desktopRect();
        return true;
    }
    const x11::WindowObject* found = x11::findWindow(window);
    if (found == nullptr) return false;
    *rect = of(*found);
    return true;
}

}  // namespace

bool GetWindowRect(WindowHandle window, Rect* rect) {
    return rectOfWindow(window, rect, x11::screenRectOf);
}

bool GetClientRect(WindowHandle window, Rect* rect) {
    return rectOfWindow(window, rect, x11::clientRectOf);
}

bool ClientToScreen(WindowHandle window, Point* point) {
    if (point == nullptr) return false;
    if (window == x11::kDesktopWindow) return true;
    const x11::WindowObject* found = x11::findWindow(window);
    if (found == nullptr) return false;
    const Point origin = x11::clientOriginOf(*found);
    point->x += origin.x;
    point->y += origin.y;
    return true;
}

int32_t SetWindowRgn(WindowHandle window, GdiObject region, bool redraw) {
    x11::WindowObject* found = x11::findWindow(window);
    if (found == nullptr) return 0;
    x11::OwnedRegion shape;
    if (region != nullptr) {
        shape = x11::takeRegion(region);
        if (shape == nullptr) return 0;
    }
    found->shape = std::move(shape);
    x11::applyShape(*found);
    if (redraw) x11::invalidateAll(*found);
    return 1;
}

bool IsIconic(WindowHandle window) {
    const x11::WindowObject* found = x11::findWindow(window);
    return found != nullptr && found->minimised;
}

WindowHandle GetDesktopWindow() { return x11::kDesktopWindow; }

x11::ClientArea x11::clientAreaOf(WindowHandle window) {
    const WindowObject* found = findWindow(window);
    if (found == nullptr || found->destroying) return {};
    const Point origin = clientInXWindow(*found);
    const Rect client = clientRectOf(*found);
    return {found->xwindow,
            {origin.x, origin.y, origin.x + client.right, origin.y + client.bottom}};
}

}  // namespace platform
