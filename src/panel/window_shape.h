// The outline of a window from a picture: a rectangle covering the picture at
// the window's client origin, with every pixel of a key colour cut away.
//
// The work is split in two: `shapeFromPixels` needs no window system (pixel
// array, key colour and client offset in; the starting rectangle and the
// rectangles to cut out, in cutting order); `regionFromBitmap` reads the
// window's geometry and pixels through the platform layer and builds the
// region from that plan.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/types.h"

// The key colour argument that asks for the key to be taken from the picture
// itself: its bottom-left pixel.
inline constexpr uint32_t kKeyFromPicture = 0xFFFFFFFF;

// An explicit key colour in COLORREF layout (red in the low byte) turned into
// the layout of a 32-bit DIB pixel (blue in the low byte); the fourth byte
// becomes 0.
uint32_t pixelFromColourRef(uint32_t colourRef);

struct WindowShape {
    platform::Rect start;              // the picture at the client origin
    std::vector<platform::Rect> cuts;  // one per vertical key-coloured run
};

// The picture's rectangle moved by the client offset: (x, y, x + W, y + H).
platform::Rect startingRectangle(int32_t width, int32_t height, platform::Point offset);

// `pixels` holds width × height 32-bit pixels, rows bottom-up (index
// row × width + column, row 0 at the bottom), with no padding. `key` is a
// COLORREF or kKeyFromPicture. Pixels and key are compared as whole 32-bit
// values. Runs are listed column by column from the left, and within a column
// from the bottom of the picture upwards. A picture without pixels yields its
// (empty) starting rectangle and no cuts; the array is never read outside
// width × height.
WindowShape shapeFromPixels(const uint32_t* pixels, int32_t width, int32_t height, uint32_t key,
                            platform::Point offset);

// Whether the cuts take away every pixel of the starting rectangle (every
// pixel of the picture is the key colour).
bool cutsWholePicture(const WindowShape& shape);

// A new region in window coordinates (as SetWindowRgn takes it): the picture
// of `bitmap`, or without a bitmap the window's current client-area content,
// placed at the client origin, without the pixels of the key colour. The
// caller owns the region; the bitmap is neither changed nor deleted. Without
// a bitmap, a client area of nothing but the key colour (not drawn yet) is
// not cut, so the window keeps its plain rectangle rather than vanishing; and
// whenever the pixels cannot be read, nothing is cut. With `cutAway` given, it
// tells whether a bitmap's pixels were all of the key colour, so that nothing
// of the window is left.
platform::GdiObject regionFromBitmap(platform::WindowHandle window, uint32_t key,
                                     platform::GdiObject bitmap, bool* cutAway = nullptr);
