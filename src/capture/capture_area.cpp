#include "capture/capture_area.h"

#include <algorithm>
#include <cstring>

#include "capture/bmp_file.h"

CaptureArea captureAreaOf(const platform::Rect& panel) {
    CaptureArea area;
    area.left = int64_t{panel.left} + kCaptureInsetLeft;
    area.top = int64_t{panel.top} + kCaptureInsetTop;
    area.width = (int64_t{panel.right} - kCaptureInsetRight) - area.left;
    area.height = (int64_t{panel.bottom} - kCaptureInsetBottom) - area.top;
    return area;
}

uint32_t captureImageSize(const CaptureArea& area) {
    if (area.width > INT32_MAX || area.height > INT32_MAX) return 0;
    const uint64_t size = bmpImageSize(area.width, area.height);
    return size > kBmpMaxImageSize ? 0 : static_cast<uint32_t>(size);
}

std::optional<platform::Rect> visiblePart(const CaptureArea& area, int32_t screenWidth,
                                          int32_t screenHeight) {
    if (area.width <= 0 || area.height <= 0) return std::nullopt;
    const int64_t left = std::max<int64_t>(area.left, 0);
    const int64_t top = std::max<int64_t>(area.top, 0);
    const int64_t right = std::min<int64_t>(area.left + area.width, screenWidth);
    const int64_t bottom = std::min<int64_t>(area.top + area.height, screenHeight);
    if (left >= right || top >= bottom) return std::nullopt;
    return platform::Rect{static_cast<int32_t>(left), static_cast<int32_t>(top),
                          static_cast<int32_t>(right), static_cast<int32_t>(bottom)};
}

void placeGrab(const CaptureArea& area, const platform::Rect& part, const uint8_t* grabbed,
               uint8_t* image) {
    const int64_t partWidth = int64_t{part.right} - part.left;
    const int64_t partHeight = int64_t{part.bottom} - part.top;
    const uint64_t partStride = bmpStride(partWidth);
    const uint64_t imageStride = bmpStride(area.width);
    const uint64_t columnOffset = static_cast<uint64_t>(part.left - area.left) * 3;
    const uint64_t rowBytes = static_cast<uint64_t>(partWidth) * 3;
    // Row 0 of each buffer is its bottom row; the part's bottom row lies this
    // many rows above the area's bottom row.
    const uint64_t rowOffset = static_cast<uint64_t>(area.top + area.height - part.bottom);
    for (int64_t row = 0; row < partHeight; ++row) {
        const uint8_t* from = grabbed + partStride * static_cast<uint64_t>(row);
        uint8_t* to = image + imageStride * (rowOffset + static_cast<uint64_t>(row)) + columnOffset;
        std::memcpy(to, from, rowBytes);
    }
}
