// The screen rectangle that the viewfinder frames, and which parts of it lie
// on the monitors.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/types.h"

// The skin's opening, in the panel's client coordinates: bitmap x 31 to 168,
// y 33 to 143, 138 × 111 pixels (the skin is painted at the client origin).
inline constexpr platform::Rect kViewfinderOpening{31, 33, 169, 144};
// The panel's frame, where its client area cannot be asked for (the panel
// was closed): 4 pixels all round.
inline constexpr int32_t kUsualFrameWidth = 4;

// A rectangle in screen pixels, wide enough that no panel position overflows.
// Width or height 0 or less means there is nothing to grab.
struct CaptureArea {
    int64_t left = 0;
    int64_t top = 0;
    int64_t width = 0;
    int64_t height = 0;
    friend bool operator==(const CaptureArea&, const CaptureArea&) = default;
};

// The opening where the panel's client area (in screen coordinates) has it,
// cut to the client area, so that whatever the frame's width only what lies
// under the opening is grabbed. With the usual 4-pixel frame and the panel's
// 177 × 152 pixels that is (left + 35, top + 37), 138 × 111.
CaptureArea captureAreaOf(const platform::Rect& client);

// A coordinate computed in 64 bits, kept within the 32 bits of a Rect.
int32_t clampedCoordinate(int64_t value);

// The client area of a window rectangle with the usual frame.
platform::Rect usualClientOf(const platform::Rect& window);

// Bytes of the area's image (padded 24-bit rows), or 0 when the area is empty
// or too large for one BMP file.
uint32_t captureImageSize(const CaptureArea& area);

// The part of `area` within `screen`, in screen pixels; nothing when no pixel
// of it is there.
std::optional<platform::Rect> visiblePart(const CaptureArea& area, const platform::Rect& screen);

// The parts of `area` on the monitors, clipped to the virtual screen: one
// rectangle per monitor that `area` reaches, in the monitors' order. Pixels
// on no monitor are in none of them.
std::vector<platform::Rect> partsOnMonitors(const CaptureArea& area,
                                            const platform::Rect& virtualScreen,
                                            const std::vector<platform::Rect>& monitors);

// Copies the rows grabbed from `part` (a part of `area`; bottom-up, padded,
// as grabScreen leaves them) to their place in the area's image, also
// bottom-up and padded. Pixels of the image outside `part` are left as they are.
void placeGrab(const CaptureArea& area, const platform::Rect& part, const uint8_t* grabbed,
               uint8_t* image);
