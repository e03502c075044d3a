// What the screen side keeps of the display's layout: read once, and again
// after x11::displayChanged() (x11_display_linux.h). The metrics and monitors
// (screen_linux.cpp) and the grab (screen_grab_linux.cpp) share it.
#pragma once

#include <X11/Xlib.h>

#include "platform/types.h"

namespace platform::x11 {

// The root window's rectangle, (0, 0) to its size: the virtual screen, in
// the coordinates every window and monitor is given in. Empty when no X
// server can be reached.
Rect rootRect();

// Gives up the grab's kept image (screen_grab_linux.cpp); the next grab makes
// it again for the display as it is then.
void releaseGrabImage();

}  // namespace platform::x11
