// The virtual screen's metrics and the monitors' rectangles, asked of the X
// server once and kept until the window side reports a change of the layout
// (x11::displayChanged): the capture asks for them every frame, and each
// question is a round trip to the server.
//
// The virtual screen is the root window. The monitors are RandR's (1.5 and
// later), in root coordinates: unlike on Windows the primary monitor need not
// lie at (0, 0). Without RandR's monitors the root window is the one monitor.
#include "platform/linux/screen_linux.h"

#include <X11/extensions/Xrandr.h>

#include <optional>
#include <vector>

#include "platform/linux/unsupported_linux.h"
#include "platform/linux/window_record_linux.h"
#include "platform/linux/x11_display_linux.h"
#include "platform/window_system.h"
#include "platform/windows_values.h"

namespace platform {
namespace {

struct ScreenLayout {
    Display* display = nullptr;  // the connection it was read from
    Rect root;
    std::vector<Rect> monitors;  // the primary first; never empty
};

std::optional<ScreenLayout>& kept() {
    static std::optional<ScreenLayout> layout;
    return layout;
}

Rect rootOf(Display* display) {
    ::Window root = None;
    int x = 0, y = 0;
    unsigned width = 0, height = 0, border = 0, depth = 0;
    if (!XGetGeometry(display, DefaultRootWindow(display), &root, &x, &y, &width, &height, &border,
                      &depth))
        return {};
    return {0, 0, static_cast<int32_t>(width), static_cast<int32_t>(height)};
}

// RandR's active monitors, the primary first; nothing where the server has no
// RandR 1.5 (asking it then would be an error that ends the program).
std::vector<Rect> randrMonitors(Display* display) {
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (!XRRQueryExtension(display, &eventBase, &errorBase) ||
        !XRRQueryVersion(display, &major, &minor) || major < 1 || (major == 1 && minor < 5))
        return {};
    int count = 0;
    XRRMonitorInfo* infos = XRRGetMonitors(display, DefaultRootWindow(display), True, &count);
    std::vector<Rect> monitors;
    for (int i = 0; i < count; ++i) {
        const XRRMonitorInfo& info = infos[i];
        if (info.width <= 0 || info.height <= 0) continue;
        const Rect rect{info.x, info.y, info.x + info.width, info.y + info.height};
        if (info.primary) {
            monitors.insert(monitors.begin(), rect);
        } else {
            monitors.push_back(rect);
        }
    }
    if (infos != nullptr) XRRFreeMonitors(infos);
    return monitors;
}

// The layout of the display now, or nothing without an X server.
const ScreenLayout* layout() {
    Display* display = x11::display();
    if (display == nullptr) return nullptr;
    std::optional<ScreenLayout>& layout = kept();
    if (!layout || layout->display != display) {
        layout.emplace();
        layout->display = display;
        layout->root = rootOf(display);
        layout->monitors = randrMonitors(display);
        if (layout->monitors.empty()) layout->monitors.push_back(layout->root);
    }
    return &*layout;
}

int32_t width(const Rect& rect) { return rect.right - rect.left; }
int32_t height(const Rect& rect) { return rect.bottom - rect.top; }

}  // namespace

Rect x11::rootRect() {
    const ScreenLayout* screen = layout();
    return screen != nullptr ? screen->root : Rect{};
}

void x11::displayChanged() {
    kept().reset();
    releaseGrabImage();
}

int32_t GetSystemMetrics(int32_t index) {
    x11::supportedOrReported(isListed(kListedSystemMetrics, index), "GetSystemMetrics", "index",
                             static_cast<uint32_t>(index));
    const ScreenLayout* screen = layout();
    if (screen == nullptr) return 0;
    switch (index) {
        case SM_CXSCREEN:
            return width(screen->monitors.front());
        case SM_CYSCREEN:
            return height(screen->monitors.front());
        case SM_XVIRTUALSCREEN:
            return screen->root.left;
        case SM_YVIRTUALSCREEN:
            return screen->root.top;
        case SM_CXVIRTUALSCREEN:
            return width(screen->root);
        case SM_CYVIRTUALSCREEN:
            return height(screen->root);
        default:
            return 0;
    }
}

bool EnumDisplayMonitors(MonitorVisitor visit, void* context) {
    const ScreenLayout* screen = layout();
    if (visit == nullptr || screen == nullptr) return false;
    const std::vector<Rect> monitors = screen->monitors;  // a visitor may change the display
    for (const Rect& monitor : monitors) {
        if (!visit(monitor, context)) break;
    }
    return true;
}

}  // namespace platform
