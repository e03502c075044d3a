// The move loop of a caption drag: the window follows the pointer until mouse
// button 1 is let go, all inside one call, as DefWindowProc's on Windows.
// Under a window manager that moves windows for their programs the manager
// runs the drag instead, and the call returns at once.
#pragma once

#include "platform/linux/window_record_linux.h"

namespace platform::x11 {

void moveWithPointer(WindowObject& window);

}  // namespace platform::x11
