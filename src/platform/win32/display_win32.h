// The display's geometry (the virtual screen, the monitors) and what depends
// on it, kept until the display changes.
#pragma once

namespace platform::win32 {

// Forgets the kept geometry and the grab surface (screen_grab_win32.h); called
// on WM_DISPLAYCHANGE, when monitors come, go or change mode.
void displayChanged();

}  // namespace platform::win32
