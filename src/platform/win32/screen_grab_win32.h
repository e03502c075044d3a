// What the screen grab keeps from one grab to the next.
#pragma once

namespace platform::win32 {

// Gives up the kept display and memory DCs and the DIB section; the next grab
// makes them anew for the display as it is then (after WM_DISPLAYCHANGE).
void releaseGrabSurface();

}  // namespace platform::win32
