// The grab on a Wayland desktop, where the program's X display is XWayland:
// its root window holds no picture, the compositor has the screen.
#pragma once

#include <cstdint>

#include "platform/types.h"
#include "platform/window_system.h"

namespace platform::x11 {

// The compositor's pixels of `area` (X root coordinates) as grabScreen
// writes them: through wlr-screencopy where the compositor offers it
// (wlroots compositors), else through the ScreenCast portal (GNOME, KDE).
// With neither, or where the user refuses to share the screen, the first
// call tells the user once, in a message box and on the status text, what
// is missing; every grab is then black (0) and costs nothing.
uint32_t grabFromCompositor(const Rect& area, const GrabLayout& layout, uint8_t* pixels);

}  // namespace platform::x11
