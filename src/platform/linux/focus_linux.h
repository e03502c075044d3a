// Keyboard focus as Windows has it: each top-level window remembers which of
// its windows takes its keys; the top-level window that holds the X input
// focus is the active one.
#pragma once

#include "platform/linux/window_record_linux.h"
#include "platform/types.h"

namespace platform::x11 {

// Gives the focus to `window` within its top-level window, telling the
// window that loses it (WM_KILLFOCUS) and the one that gains it (WM_SETFOCUS).
void setFocus(WindowHandle window);

// The window that takes the keys typed into `topLevel`.
WindowHandle keyTarget(WindowObject& topLevel);

// Whether keys typed now reach `window`: it has its top-level window's
// focus, and that window is active.
bool hasKeyboardFocus(WindowHandle window);

// The X input focus came to or left a top-level window.
void noteActivation(WindowObject& topLevel, bool active);

// A window that goes no longer holds any focus.
void forgetFocus(WindowObject& window);

}  // namespace platform::x11
