// The screen rectangle that the viewfinder frames, and how much of it lies on
// the screen.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/types.h"

// Insets of the grabbed rectangle inside the panel's window rectangle.
inline constexpr int32_t kCaptureInsetLeft = 35;
inline constexpr int32_t kCaptureInsetTop = 37;
inline constexpr int32_t kCaptureInsetRight = 4;
inline constexpr int32_t kCaptureInsetBottom = 4;

// A rectangle in screen pixels, wide enough that no panel position overflows.
// Width or height 0 or less means there is nothing to grab.
struct CaptureArea {
    int64_t left = 0;
    int64_t top = 0;
    int64_t width = 0;
    int64_t height = 0;
    friend bool operator==(const CaptureArea&, const CaptureArea&) = default;
};

// 35 pixels inside the left edge, 37 inside the top, 4 inside right and bottom:
// W = (right − left) − 39, H = (bottom − top) − 41.
CaptureArea captureAreaOf(const platform::Rect& panel);

// Bytes of the area's image (padded 24-bit rows), or 0 when the area is empty
// or too large for one BMP file.
uint32_t captureImageSize(const CaptureArea& area);

// The part of `area` on a screen of the given size, in screen pixels; nothing
// when no pixel of it is on the screen.
std::optional<platform::Rect> visiblePart(const CaptureArea& area, int32_t screenWidth,
                                          int32_t screenHeight);

// Copies the rows grabbed from `part` (a part of `area`; bottom-up, padded,
// as grabScreen leaves them) to their place in the area's image, also
// bottom-up and padded. Pixels of the image outside `part` are left as they are.
void placeGrab(const CaptureArea& area, const platform::Rect& part, const uint8_t* grabbed,
               uint8_t* image);
