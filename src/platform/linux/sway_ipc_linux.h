// sway's own interface, its IPC socket ($SWAYSOCK). sway centres the X
// windows it floats and takes no place from them, neither when they are
// made nor when they ask to move; asked there, it moves them.
#pragma once

#include <X11/Xlib.h>

namespace platform::x11 {

// Whether the program runs in a sway session it can reach.
bool underSway();

// Asks sway to put the top-left corner of the X window, or of the frame sway
// draws around it, at (x, y) (X screen coordinates, which are sway's at
// scale 1); false when sway could not be asked or said no.
bool swayMoveWindow(::Window xwindow, int x, int y);

}  // namespace platform::x11
