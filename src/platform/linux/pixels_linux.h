// Pixels between our bitmaps (0x00RRGGBB, rows top-down) and X drawables of
// the screen's visual or the alpha visual (visuals_linux.h, where every pixel
// drawn is opaque), and the plain drawing the controls and frames need.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>

#include "platform/linux/gdi_objects_linux.h"
#include "platform/linux/visuals_linux.h"
#include "platform/types.h"

namespace platform::x11 {

// The X pixel value of a COLORREF on a visual, opaque where it has alpha.
unsigned long xPixelOf(const WindowVisual& visual, uint32_t colourRef);

// The connection's graphics context for drawables of `target`'s depth.
GC sharedGc(::Drawable target);

// Copies `area` of `source` (bitmap coordinates, within the bitmap) to `at`
// in `target`.
void putPixels(::Drawable target, const BitmapObject& source, const Rect& area, Point at);

// Reads `area` of `source` (drawable coordinates, wholly visible) into
// `target` at `at` (within the bitmap). False when X cannot give them.
bool getPixels(::Drawable source, const Rect& area, BitmapObject& target, Point at);

// Fills `area` with a COLORREF.
void fillArea(::Drawable target, const Rect& area, uint32_t colourRef);

}  // namespace platform::x11
