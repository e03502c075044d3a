// The classic Windows look, drawn into X windows: 3D edges (raised buttons,
// sunken edit boxes) and the frames the backend draws itself.
#pragma once

#include <X11/Xlib.h>

#include "platform/linux/window_record_linux.h"
#include "platform/types.h"

namespace platform::x11 {

enum class Edge {
    raised,   // a button at rest
    pressed,  // a button held down
    sunken,   // an edit box's client edge
    frame,    // a window's sizing frame
};

// A two-pixel edge just inside `area`.
void drawEdge(::Drawable target, const Rect& area, Edge edge);

// The dotted rectangle just inside `area` that marks the control with the
// keyboard focus (DrawFocusRect's every other pixel, in the text colour).
void drawFocusRect(::Drawable target, const Rect& area);

// The frame of a window whose X window covers its whole window rectangle:
// border or sizing frame, and the client edge.
void drawWindowFrame(const WindowObject& window);

}  // namespace platform::x11
