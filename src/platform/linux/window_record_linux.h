// The program's windows as the backend keeps them: what CreateWindowEx was
// given, where the window lies (kept here, so that the per-frame geometry
// questions need no X round trip) and the X window that shows it. Written in
// window_record_linux.cpp (the record), window_create_linux.cpp,
// window_place_linux.cpp and window_move_linux.cpp.
//
// Geometry follows Windows: a window rectangle holds the frame and the client
// area. A captioned top-level window's X window is its client area and the
// window manager draws the frame around it; every other window's X window
// covers its whole window rectangle and the backend draws its frame itself.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/types.h"
#include "platform/windows_values.h"

namespace platform::x11 {

// The desktop window's handle: no window of ours, it stands for the screen.
inline const WindowHandle kDesktopWindow = reinterpret_cast<WindowHandle>(uintptr_t{0x10});

// How far the client area lies inside the window rectangle on each side.
struct Insets {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// The frame of a window of these styles, as Windows (Wine) measures it.
Insets frameInsets(uint32_t style, uint32_t exStyle);

struct RegionDeleter {
    void operator()(::Region region) const { XDestroyRegion(region); }
};
using OwnedRegion = std::unique_ptr<std::remove_pointer_t<::Region>, RegionDeleter>;

struct WindowObject {
    WindowHandle handle = nullptr;
    std::string className;
    WindowProc procedure = nullptr;
    GdiObject background = nullptr;  // the class brush
    bool doubleClicks = false;       // its class takes double clicks (CS_DBLCLKS)
    uint32_t style = 0;
    uint32_t exStyle = 0;
    std::string text;  // UTF-8
    WindowHandle parent = nullptr;
    std::vector<WindowHandle> children;
    uintptr_t id = 0;
    // Top-level: screen coordinates; child: the parent's client coordinates.
    Rect place;
    Insets frame;
    bool framedByManager = false;  // the X window is the client area
    ::Window xwindow = None;
    bool withAlpha = false;  // made with the 32-bit visual with alpha (visuals_linux.h)
    bool mapped = false;
    bool reparented = false;  // a window manager holds it in a frame of its own
    bool minimised = false;
    bool topmost = false;
    bool destroying = false;
    // Without a window manager, the request that last placed the X window:
    // configure events older than it describe a place already left.
    unsigned long placeSerial = 0;
    // Where the program last put the window; when a window manager first
    // showed it; whether the program has asked for its place again since.
    Rect asked;
    std::chrono::steady_clock::time_point firstMapped{};
    bool askedAgain = false;
    OwnedRegion shape;             // window coordinates; null: the whole rectangle
    WindowHandle focus = nullptr;  // top-level: the window its keys go to
    bool needsPaint = false;
    Rect invalid;  // client coordinates
};

// The window of a handle; null for a handle that names no (live) window.
WindowObject* findWindow(WindowHandle window);
WindowObject* windowOfX(::Window xwindow);
// A new window record with a fresh handle.
WindowObject& addWindow();
// Forgets the window (after its X window is gone).
void removeWindow(WindowHandle window);
// Every window, in the order of creation.
std::vector<WindowHandle> allWindows();
void bindXWindow(WindowObject& window, ::Window xwindow);

WindowObject& topLevelOf(WindowObject& window);
bool isTopLevel(const WindowObject& window);

Rect screenRectOf(const WindowObject& window);
// The client area's top-left corner in screen coordinates.
Point clientOriginOf(const WindowObject& window);
// The client area's size as a rectangle at (0, 0); never negative.
Rect clientRectOf(const WindowObject& window);
// Where the client area's origin lies in the window's X window.
Point clientInXWindow(const WindowObject& window);
// The X window's rectangle in its X parent's coordinates (the root's for a
// top-level window).
Rect xRectOf(const WindowObject& window);

// Marks a part of the client area (client coordinates) for painting.
void invalidate(WindowObject& window, const Rect& area);
void invalidateAll(WindowObject& window);

// The X window that holds a window of the program, and where its client area
// lies in that X window (client coordinates 0, 0 at `client.left`,
// `client.top`; right and bottom exclusive). None for no such window. What
// the graphics side draws into.
struct ClientArea {
    ::Window window = None;
    Rect client;
};
ClientArea clientAreaOf(WindowHandle window);

// Where windows lie and how they stack (window_place_linux.cpp): placing X
// windows where the program puts its windows, following the places a window
// manager gives them, outlines (window regions) and staying on top.

// Moves and sizes the X window to the window's place.
void placeXWindow(WindowObject& window);

// A configure event of a top-level window: its place follows.
void noteConfigured(WindowObject& window, const XConfigureEvent& event);

// A top-level window was mapped. Where a window manager first shows it
// elsewhere than the program put it, the program's place is asked again.
void noteMapped(WindowObject& window);

// Another window at the root came up or changed its stacking: without a
// window manager, our topmost windows go above it again.
void keepTopmostAbove(const XEvent& event);

void setTopmost(WindowObject& window, bool topmost);

// Gives the X window the window's outline (or none).
void applyShape(WindowObject& window);

// Reads whether the window manager has minimised the window.
void noteWindowState(WindowObject& window);

// The move loop of a caption drag (window_move_linux.cpp): the window follows
// the pointer until mouse button 1 is let go, all inside one call, as
// DefWindowProc's on Windows. Under a window manager that moves windows for
// their programs the manager runs the drag instead, and the call returns at
// once.
void moveWithPointer(WindowObject& window);

}  // namespace platform::x11
