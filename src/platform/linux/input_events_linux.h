// Mouse and keyboard events turned into the window messages Windows sends:
// button messages in client coordinates to the window under the pointer, key
// messages with their typed text to the window with the keyboard focus.
#pragma once

#include <X11/Xlib.h>

#include "platform/types.h"

namespace platform::x11 {

void handleButton(const XButtonEvent& event, bool press);
void handleMotion(const XMotionEvent& event);
void handleKey(XKeyEvent& event, bool press);
void handleFocus(const XFocusChangeEvent& event, bool in);

// Where (screen coordinates) mouse button 1 was last pressed.
Point lastPressPoint();

}  // namespace platform::x11
