// What the parts of the Linux backend share about the X connection and the
// program's windows: the graphics side draws into a window's client area,
// the window-system side owns the windows and their messages.
#pragma once

#include <X11/Xlib.h>

#include "platform/types.h"

namespace platform::x11 {

// The one connection to the X server, opened on first use (from $DISPLAY);
// null when no X server can be reached.
Display* display();

// The X window that holds a window of the program, and where its client area
// lies in that X window (client coordinates 0, 0 at `client.left`,
// `client.top`; right and bottom exclusive). None for no such window.
struct ClientArea {
    ::Window window = None;
    Rect client;
};
ClientArea clientAreaOf(WindowHandle window);

// Called by the window side when the screen's layout changes (the root
// window's size, monitors coming or going): what the screen side keeps of
// the layout is read again.
void displayChanged();

}  // namespace platform::x11
