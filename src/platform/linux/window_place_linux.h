// Where windows lie and how they stack: placing X windows where the
// program puts its windows, following the places a window manager gives
// them, outlines (window regions) and staying on top.
#pragma once

#include <X11/Xlib.h>

#include "platform/linux/window_record_linux.h"

namespace platform::x11 {

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

}  // namespace platform::x11
