// X events turned into messages and window state, in the order they came.
#pragma once

#include <X11/Xlib.h>

namespace platform::x11 {

// Takes every event the connection holds now, without waiting.
void drainEvents();
void handleEvent(XEvent& event);

}  // namespace platform::x11
