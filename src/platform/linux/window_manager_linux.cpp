#include "platform/linux/window_manager_linux.h"

#include <X11/Xatom.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/linux/sway_ipc_linux.h"
#include "platform/linux/window_record_linux.h"
#include "platform/linux/x11_display_linux.h"

namespace platform::x11 {
namespace {

// _MOTIF_WM_HINTS: which of its fields count, then what the user may do
// with the window and what the manager draws around it.
constexpr long kMotifFunctionsFlag = 1;
constexpr long kMotifDecorationsFlag = 2;
constexpr long kMotifResize = 2;
constexpr long kMotifMove = 4;
constexpr long kMotifMinimize = 8;
constexpr long kMotifMaximize = 16;
constexpr long kMotifClose = 32;
constexpr long kMotifBorder = 2;
constexpr long kMotifResizeHandle = 4;
constexpr long kMotifTitle = 8;
constexpr long kMotifMenu = 16;
constexpr long kMotifMinimizeButton = 32;
constexpr long kMotifMaximizeButton = 64;
constexpr int kMotifHintCount = 5;

constexpr long kMoveResizeMove = 8;         // _NET_WM_MOVERESIZE_MOVE
constexpr long kFromApplication = 1;        // the source indication of EWMH requests
constexpr long kMostSupportedAtoms = 1024;  // of _NET_SUPPORTED, read at most

// A window without a maximise box keeps the size the program gives it:
// minimum = maximum, which tiling managers (i3, sway) also take as the sign
// to float it at that size rather than fit it into their tiles. (On Windows
// its sizing frame would still let the user resize it.)
bool hasFixedSize(const WindowObject& window) { return (window.style & WS_MAXIMIZEBOX) == 0; }

// An overlapped window is a normal one; a pop-up with a caption a dialog,
// without one (a panel of tools) a utility window, which managers do not
// tile either.
Atom windowTypeOf(const WindowObject& window) {
    const Atoms& names = atoms();
    if ((window.style & WS_POPUP) == 0) return names.netWmWindowTypeNormal;
    if ((window.style & WS_CAPTION) == WS_CAPTION) return names.netWmWindowTypeDialog;
    return names.netWmWindowTypeUtility;
}

void setMotifHints(const WindowObject& window) {
    const bool fixed = hasFixedSize(window);
    const bool minimizable = (window.style & WS_MINIMIZEBOX) != 0;
    long functions = kMotifMove | kMotifClose;
    if (minimizable) functions |= kMotifMinimize;
    if (!fixed) functions |= kMotifResize | kMotifMaximize;
    long decorations = 0;
    if (window.framedByManager) {
        decorations = kMotifBorder | kMotifTitle;
        if ((window.style & WS_SYSMENU) != 0) decorations |= kMotifMenu;
        if (minimizable) decorations |= kMotifMinimizeButton;
        if (!fixed) decorations |= kMotifResizeHandle | kMotifMaximizeButton;
    }
    const long motif[kMotifHintCount] = {kMotifFunctionsFlag | kMotifDecorationsFlag, functions,
                                         decorations, 0, 0};
    const Atom name = atoms().motifWmHints;
    XChangeProperty(display(), window.xwindow, name, name, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(motif), kMotifHintCount);
}

// Where the window goes and that it stays there (static gravity: the place
// given is the client area's or, undecorated, the window's own), and its
// size limits.
void setNormalHints(const WindowObject& window) {
    XSizeHints* size = XAllocSizeHints();
    if (size == nullptr) return;
    const Rect xrect = xRectOf(window);
    size->flags = USPosition | PPosition | USSize | PSize | PWinGravity;
    size->x = xrect.left;
    size->y = xrect.top;
    size->width = xrect.right - xrect.left;
    size->height = xrect.bottom - xrect.top;
    size->win_gravity = StaticGravity;
    if (hasFixedSize(window)) {
        size->flags |= PMinSize | PMaxSize;
        size->min_width = size->max_width = size->width;
        size->min_height = size->max_height = size->height;
    }
    XSetWMNormalHints(display(), window.xwindow, size);
    XFree(size);
}

// Whether a window manager runs that lists _NET_WM_MOVERESIZE among what it
// supports.
bool managerOffersMoves() {
    if (!managerRunning()) return false;
    const std::vector<long> supported = propertyItems(
        DefaultRootWindow(display()), atoms().netSupported, XA_ATOM, kMostSupportedAtoms);
    return std::find(supported.begin(), supported.end(),
                     static_cast<long>(atoms().netWmMoveResize)) != supported.end();
}

}  // namespace

bool managerRunning() {
    return propertyItems(DefaultRootWindow(display()), atoms().netSupportingWmCheck, XA_WINDOW, 1)
               .size() == 1;
}

void describeToManager(WindowObject& window) {
    Display* connection = display();
    const Atoms& names = atoms();
    setNormalHints(window);
    XWMHints* hints = XAllocWMHints();
    XClassHint* classHint = XAllocClassHint();
    if (hints != nullptr) {
        hints->flags = InputHint | StateHint;
        hints->input = True;
        hints->initial_state = NormalState;
    }
    std::string resourceName = "t462";
    std::string resourceClass = window.className;
    if (classHint != nullptr) {
        classHint->res_name = resourceName.data();
        classHint->res_class = resourceClass.data();
    }
    Xutf8SetWMProperties(connection, window.xwindow, window.text.c_str(), window.text.c_str(),
                         nullptr, 0, nullptr, hints, classHint);
    XFree(hints);
    XFree(classHint);
    XChangeProperty(connection, window.xwindow, names.netWmName, names.utf8String, 8,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(window.text.data()),
                    static_cast<int>(window.text.size()));
    const long pid = static_cast<long>(::getpid());
    XChangeProperty(connection, window.xwindow, names.netWmPid, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&pid), 1);
    const Atom type = windowTypeOf(window);
    XChangeProperty(connection, window.xwindow, names.netWmWindowType, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&type), 1);
    setMotifHints(window);
    Atom protocols[] = {names.wmDeleteWindow};
    XSetWMProtocols(connection, window.xwindow, protocols, 1);
}

void keepFixedSize(WindowObject& window) {
    if (isTopLevel(window) && window.xwindow != None && hasFixedSize(window))
        setNormalHints(window);
}

bool beginManagerDrag(WindowObject& window, Point anchor) {
    // sway runs such a drag from its own pointer only; there the program
    // moves the window itself, through sway's interface.
    if (underSway() || !managerOffersMoves()) return false;
    window.askedAgain = true;  // where it goes now is the user's choice
    Display* connection = display();
    // The manager takes the pointer: our hold on it from the button press
    // goes first.
    XUngrabPointer(connection, CurrentTime);
    XEvent request{};
    request.xclient.type = ClientMessage;
    request.xclient.window = window.xwindow;
    request.xclient.message_type = atoms().netWmMoveResize;
    request.xclient.format = 32;
    request.xclient.data.l[0] = anchor.x;
    request.xclient.data.l[1] = anchor.y;
    request.xclient.data.l[2] = kMoveResizeMove;
    request.xclient.data.l[3] = Button1;
    request.xclient.data.l[4] = kFromApplication;
    XSendEvent(connection, DefaultRootWindow(connection), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &request);
    XFlush(connection);
    return true;
}

}  // namespace platform::x11
