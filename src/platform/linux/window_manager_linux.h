// What window managers are told about the program's top-level windows, and
// what they are asked to do with them. All of it follows from the Windows
// styles the program gives its windows.
#pragma once

#include "platform/linux/window_record_linux.h"

namespace platform::x11 {

// Whether a window manager runs (one that says so, as EWMH asks; XWayland's
// managers do).
bool managerRunning();

// Before the window is first mapped: its names, place and size limits, what
// kind of window it is, its decorations and what the user may do with it,
// the close protocol.
void describeToManager(WindowObject& window);

// The program resized the window: a window whose size the manager holds
// fixed is held at the new size.
void keepFixedSize(WindowObject& window);

// Hands a drag of the window with the pointer, pressed at `anchor` (screen
// coordinates), to the window manager (_NET_WM_MOVERESIZE); false where no
// manager runs that offers it. Managers that place windows themselves move
// them only so.
bool beginManagerDrag(WindowObject& window, Point anchor);

}  // namespace platform::x11
