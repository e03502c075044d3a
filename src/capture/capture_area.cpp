#include "capture/capture_area.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "capture/bmp_file.h"

CaptureArea captureAreaOf(const platform::Rect& client) {
    CaptureArea area;
    area.left = int64_t{client.left} + kViewfinderOpening.left;
    area.top = int64_t{client.top} + kViewfinderOpening.top;
    const int64_t right =
        std::min(int64_t{client.left} + kViewfinderOpening.right, int64_t{client.right});
    const int64_t bottom =
        std::min(int64_t{client.top} + kViewfinderOpening.bottom, int64_t{client.bottom});
    area.width = right - area.left;
    area.height = bottom - area.top;
    return area;
}

int32_t clampedCoordinate(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

platform::Rect usualClientOf(const platform::Rect& window) {
    return {clampedCoordinate(int64_t{window.left} + kUsualFrameWidth),
            clampedCoordinate(int64_t{window.top} + kUsualFrameWidth),
            clampedCoordinate(int64_t{window.right} - kUsualFrameWidth),
            clampedCoordinate(int64_t{window.bottom} - kUsualFrameWidth)};
}

uint32_t captureImageSize(const CaptureArea& area) {
    if (area.width > INT32_MAX || area.height > INT32_MAX) return 0;
    const uint64_t size = bmpImageSize(area.width, area.height);
    return size > kBmpMaxImageSize ? 0 : static_cast<uint32_t>(size);
}

std::optional<platform::Rect> visiblePart(const CaptureArea& area, const platform::Rect& screen) {
    if (area.width <= 0 || area.height <= 0) return std::nullopt;
    const int64_t left = std::max<int64_t>(area.left, screen.left);
    const int64_t top = std::max<int64_t>(area.top, screen.top);
    const int64_t right = std::min<int64_t>(area.left + area.width, screen.right);
    const int64_t bottom = std::min<int64_t>(area.top + area.height, screen.bottom);
    if (left >= right || top >= bottom) return std::nullopt;
    return platform::Rect{static_cast<int32_t>(left), static_cast<int32_t>(top),
                          static_cast<int32_t>(right), static_cast<int32_t>(bottom)};
}

std::vector<platform::Rect> partsOnMonitors(const CaptureArea& area,
                                            const platform::Rect& virtualScreen,
                                            const std::vector<platform::Rect>& monitors) {
    std::vector<platform::Rect> parts;
    const std::optional<platform::Rect> onScreen = visiblePart(area, virtualScreen);
    if (!onScreen) return parts;
    const CaptureArea clipped{onScreen->left, onScreen->top, onScreen->right - onScreen->left,
                              onScreen->bottom - onScreen->top};
    for (const platform::Rect& monitor : monitors) {
        const std::optional<platform::Rect> part = visiblePart(clipped, monitor);
        // Mirrored monitors share their place: one grab of it is enough.
        if (part && std::find(parts.begin(), parts.end(), *part) == parts.end())
            parts.push_back(*part);
    }
    return parts;
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
