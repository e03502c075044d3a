// The one X connection, opened on first use, and what the window side sets
// up on it at once: atoms, a forgiving error handler, the root window's
// events (screen size, other programs' windows) and the extensions' events
// (monitors, keyboard state).
#include "platform/linux/x11_display_linux.h"

#include <X11/XKBlib.h>
#include <X11/extensions/Xrandr.h>
#include <X11/extensions/shape.h>
#include <poll.h>

#include <cerrno>
#include <cstdio>

#include "platform/linux/window_record_linux.h"

namespace platform::x11 {
namespace {

Atoms internedAtoms{};
ExtensionEvents extensions{};
Time lastTime = CurrentTime;

// A failed request is reported and the program goes on, as a failed GDI call
// would on Windows; Xlib's default handler would end the process.
int reportError(Display* connection, XErrorEvent* error) {
    char text[128] = "";
    XGetErrorText(connection, error->error_code, text, sizeof text);
    std::fprintf(stderr, "t462: X error %s (request %d.%d)\n", text, error->request_code,
                 error->minor_code);
    return 0;
}

void internAtoms(Display* connection) {
    const char* names[] = {"WM_PROTOCOLS",
                           "WM_DELETE_WINDOW",
                           "WM_STATE",
                           "_MOTIF_WM_HINTS",
                           "_NET_WM_STATE",
                           "_NET_WM_STATE_ABOVE",
                           "_NET_WM_STATE_HIDDEN",
                           "_NET_WM_NAME",
                           "_NET_WM_PID",
                           "_NET_WM_WINDOW_TYPE",
                           "_NET_WM_WINDOW_TYPE_NORMAL",
                           "_NET_WM_WINDOW_TYPE_DIALOG",
                           "_NET_WM_WINDOW_TYPE_UTILITY",
                           "_NET_WM_MOVERESIZE",
                           "_NET_SUPPORTED",
                           "_NET_SUPPORTING_WM_CHECK",
                           "UTF8_STRING",
                           "CLIPBOARD",
                           "T462_PASTE",
                           "INCR"};
    Atom* targets[] = {&internedAtoms.wmProtocols,
                       &internedAtoms.wmDeleteWindow,
                       &internedAtoms.wmState,
                       &internedAtoms.motifWmHints,
                       &internedAtoms.netWmState,
                       &internedAtoms.netWmStateAbove,
                       &internedAtoms.netWmStateHidden,
                       &internedAtoms.netWmName,
                       &internedAtoms.netWmPid,
                       &internedAtoms.netWmWindowType,
                       &internedAtoms.netWmWindowTypeNormal,
                       &internedAtoms.netWmWindowTypeDialog,
                       &internedAtoms.netWmWindowTypeUtility,
                       &internedAtoms.netWmMoveResize,
                       &internedAtoms.netSupported,
                       &internedAtoms.netSupportingWmCheck,
                       &internedAtoms.utf8String,
                       &internedAtoms.clipboard,
                       &internedAtoms.pasteProperty,
                       &internedAtoms.incr};
    constexpr int kCount = sizeof names / sizeof names[0];
    static_assert(kCount == sizeof targets / sizeof targets[0]);
    Atom values[kCount] = {};
    XInternAtoms(connection, const_cast<char**>(names), kCount, False, values);
    for (int i = 0; i < kCount; ++i) *targets[i] = values[i];
}

void listenToExtensions(Display* connection) {
    const ::Window root = DefaultRootWindow(connection);
    int eventBase = 0;
    int errorBase = 0;
    if (XRRQueryExtension(connection, &eventBase, &errorBase)) {
        extensions.randr = eventBase;
        XRRSelectInput(
            connection, root,
            RRScreenChangeNotifyMask | RRCrtcChangeNotifyMask | RROutputChangeNotifyMask);
    }
    int opcode = 0;
    int major = XkbMajorVersion;
    int minor = XkbMinorVersion;
    if (XkbQueryExtension(connection, &opcode, &eventBase, &errorBase, &major, &minor)) {
        extensions.xkb = eventBase;
        // A held key repeats as presses only, as on Windows, not as
        // release-press pairs that would read as the key let go.
        Bool supported = False;
        XkbSetDetectableAutoRepeat(connection, True, &supported);
        // The lock keys and the layout in use; another layout loaded.
        constexpr unsigned long kStateDetails = XkbModifierLockMask | XkbGroupStateMask;
        XkbSelectEventDetails(connection, XkbUseCoreKbd, XkbStateNotify, kStateDetails,
                              kStateDetails);
        constexpr unsigned int kMapEvents = XkbNewKeyboardNotifyMask | XkbMapNotifyMask;
        XkbSelectEvents(connection, XkbUseCoreKbd, kMapEvents, kMapEvents);
    }
    extensions.shape = XShapeQueryExtension(connection, &eventBase, &errorBase) != False;
}

Display* openDisplay() {
    Display* connection = XOpenDisplay(nullptr);
    if (connection == nullptr) return nullptr;
    XSetErrorHandler(reportError);
    internAtoms(connection);
    // The root window's own changes (the screen's size) and those of its
    // children (other programs' windows, for keeping ours on top).
    XSelectInput(connection, DefaultRootWindow(connection),
                 StructureNotifyMask | SubstructureNotifyMask);
    listenToExtensions(connection);
    return connection;
}

}  // namespace

Display* display() {
    static Display* const connection = openDisplay();
    return connection;
}

const Atoms& atoms() { return internedAtoms; }

const ExtensionEvents& extensionEvents() { return extensions; }

Time lastEventTime() { return lastTime; }

void noteEventTime(const XEvent& event) {
    switch (event.type) {
        case KeyPress:
        case KeyRelease:
            lastTime = event.xkey.time;
            break;
        case ButtonPress:
        case ButtonRelease:
            lastTime = event.xbutton.time;
            break;
        case MotionNotify:
            lastTime = event.xmotion.time;
            break;
        case PropertyNotify:
            lastTime = event.xproperty.time;
            break;
        default:
            break;
    }
}

std::vector<long> propertyItems(::Window window, Atom property, Atom type, long maxItems) {
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    std::vector<long> items;
    if (display() == nullptr) return items;
    if (XGetWindowProperty(display(), window, property, 0, maxItems, False, type, &actualType,
                           &format, &count, &remaining, &data) == Success &&
        data != nullptr && format == 32) {
        const auto* first = reinterpret_cast<const long*>(data);
        items.assign(first, first + count);
    }
    if (data != nullptr) XFree(data);
    return items;
}

bool waitForConnection(int milliseconds) {
    Display* connection = display();
    if (connection == nullptr) return false;
    if (XPending(connection) > 0) return true;
    pollfd watched{ConnectionNumber(connection), POLLIN, 0};
    for (;;) {
        const int ready = ::poll(&watched, 1, milliseconds);
        if (ready < 0 && errno == EINTR) continue;
        return ready > 0;
    }
}

}  // namespace platform::x11
