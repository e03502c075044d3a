// The visuals the program's X windows are made with. A top-level window
// that the program frames itself (the skinned panel, message boxes) gets a
// 32-bit visual with alpha where the server has one: a compositor (XWayland
// under GNOME, KDE, sway or weston, a compositing window manager) shows
// such a window by its pixels and ignores its X shape, so the parts a window
// region cuts away must be transparent there to show what lies beneath.
// Everything else, and every window where the server has no such visual,
// keeps the screen's own.
#pragma once

#include <X11/Xlib.h>

namespace platform::x11 {

struct WindowObject;

struct WindowVisual {
    Visual* visual = nullptr;
    int depth = 0;
    Colormap colormap = None;
    // The alpha bits of an opaque pixel, set in every pixel drawn into a
    // window of this visual; 0 for a visual without alpha.
    unsigned long opaque = 0;
};

// The screen's default visual.
const WindowVisual& screenVisual();

// The 32-bit TrueColor visual with 8 bits of alpha above 8 bits a colour
// (0xFF0000, 0xFF00, 0xFF), with a colour map of its own; null where the
// server has none.
const WindowVisual* alphaVisual();

// The visual a new window is made with.
const WindowVisual& visualFor(const WindowObject& window);

// The visual of one of the program's X windows; the screen's for any other
// drawable (the root window).
const WindowVisual& visualOf(::Drawable drawable);

}  // namespace platform::x11
