#include "platform/linux/window_record_linux.h"

#include <algorithm>
#include <map>
#include <unordered_map>

namespace platform::x11 {
namespace {

// Wine's frame sizes: a sizing frame of 4 pixels (1 of border, 3 of
// frame), a dialog frame of 3, a caption bar 19 pixels high below the top
// frame, a client edge of 2.
constexpr int32_t kThickFrame = 4;
constexpr int32_t kDialogFrame = 3;
constexpr int32_t kCaptionHeight = 19;
constexpr int32_t kClientEdge = 2;

// Handles count up from here and are never used twice, so that a handle kept
// after its window went names no other window.
uintptr_t nextHandle = 0x10000;
std::map<WindowHandle, std::unique_ptr<WindowObject>> windows;
std::unordered_map<::Window, WindowHandle> byXWindow;

Rect unite(const Rect& a, const Rect& b) {
    if (a.right <= a.left || a.bottom <= a.top) return b;
    if (b.right <= b.left || b.bottom <= b.top) return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

}  // namespace

Insets frameInsets(uint32_t style, uint32_t exStyle) {
    int32_t edge = 0;
    int32_t caption = 0;
    const bool child = (style & WS_CHILD) != 0;
    // An overlapped (neither child nor pop-up) window always has a caption.
    const bool captioned =
        !child && ((style & WS_CAPTION) == WS_CAPTION || (style & WS_POPUP) == 0);
    if (captioned) {
        edge = (style & WS_THICKFRAME) != 0 ? kThickFrame : kDialogFrame;
        caption = kCaptionHeight;
    } else if (!child && (style & WS_THICKFRAME) != 0) {
        edge = kThickFrame;
    } else if ((style & WS_DLGFRAME) != 0) {
        edge = kDialogFrame;
    } else if ((style & WS_BORDER) != 0) {
        edge = 1;
    }
    if ((exStyle & WS_EX_CLIENTEDGE) != 0) edge += kClientEdge;
    return {edge, edge + caption, edge, edge};
}

WindowObject* findWindow(WindowHandle window) {
    auto found = windows.find(window);
    return found == windows.end() ? nullptr : found->second.get();
}

WindowObject* windowOfX(::Window xwindow) {
    auto found = byXWindow.find(xwindow);
    return found == byXWindow.end() ? nullptr : findWindow(found->second);
}

WindowObject& addWindow() {
    auto window = std::make_unique<WindowObject>();
    window->handle = reinterpret_cast<WindowHandle>(nextHandle);
    nextHandle += 0x10;
    WindowObject& added = *window;
    windows.emplace(added.handle, std::move(window));
    return added;
}

void removeWindow(WindowHandle window) {
    auto found = windows.find(window);
    if (found == windows.end()) return;
    byXWindow.erase(found->second->xwindow);
    windows.erase(found);
}

std::vector<WindowHandle> allWindows() {
    std::vector<WindowHandle> handles;
    handles.reserve(windows.size());
    for (const auto& [handle, window] : windows) handles.push_back(handle);
    return handles;
}

void bindXWindow(WindowObject& window, ::Window xwindow) {
    window.xwindow = xwindow;
    byXWindow[xwindow] = window.handle;
}

WindowObject& topLevelOf(WindowObject& window) {
    WindowObject* at = &window;
    while (WindowObject* parent = findWindow(at->parent)) at = parent;
    return *at;
}

bool isTopLevel(const WindowObject& window) { return findWindow(window.parent) == nullptr; }

Rect screenRectOf(const WindowObject& window) {
    const WindowObject* parent = findWindow(window.parent);
    if (parent == nullptr) return window.place;
    const Point origin = clientOriginOf(*parent);
    return {origin.x + window.place.left, origin.y + window.place.top,
            origin.x + window.place.right, origin.y + window.place.bottom};
}

Point clientOriginOf(const WindowObject& window) {
    const Rect rect = screenRectOf(window);
    return {rect.left + window.frame.left, rect.top + window.frame.top};
}

Rect clientRectOf(const WindowObject& window) {
    const int32_t width =
        window.place.right - window.place.left - window.frame.left - window.frame.right;
    const int32_t height =
        window.place.bottom - window.place.top - window.frame.top - window.frame.bottom;
    return {0, 0, std::max(width, 0), std::max(height, 0)};
}

Point clientInXWindow(const WindowObject& window) {
    if (window.framedByManager) return {0, 0};
    return {window.frame.left, window.frame.top};
}

Rect xRectOf(const WindowObject& window) {
    Point offset{0, 0};
    if (const WindowObject* parent = findWindow(window.parent)) offset = clientInXWindow(*parent);
    Rect rect{offset.x + window.place.left, offset.y + window.place.top,
              offset.x + window.place.right, offset.y + window.place.bottom};
    if (window.framedByManager) {
        const Rect client = clientRectOf(window);
        rect = {rect.left + window.frame.left, rect.top + window.frame.top,
                rect.left + window.frame.left + client.right,
                rect.top + window.frame.top + client.bottom};
    }
    return rect;
}

void invalidate(WindowObject& window, const Rect& area) {
    const Rect client = clientRectOf(window);
    const Rect clipped{std::max(area.left, client.left), std::max(area.top, client.top),
                       std::min(area.right, client.right), std::min(area.bottom, client.bottom)};
    window.needsPaint = true;
    window.invalid = unite(window.invalid, clipped);
}

void invalidateAll(WindowObject& window) { invalidate(window, clientRectOf(window)); }

}  // namespace platform::x11
