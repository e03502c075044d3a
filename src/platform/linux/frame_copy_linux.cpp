#include "platform/linux/frame_copy_linux.h"

#include <cmath>
#include <cstring>

namespace platform::compositor {
namespace {

// The frame's column or row under the centre of grab pixel `index` of
// `count` along a source span; -1 off the frame.
int32_t sourceIndex(int32_t index, int32_t count, double start, double span, int32_t limit) {
    const double at = std::floor(start + (index + 0.5) * span / count);
    return at >= 0 && at < limit ? static_cast<int32_t>(at) : -1;
}

}  // namespace

void copyFrameArea(const FrameView& frame, const FrameArea& source, const GrabLayout& layout,
                   uint8_t* pixels) {
    const int red = frame.redFirst ? 0 : 2;
    const int blue = 2 - red;
    for (int32_t y = 0; y < layout.height; ++y) {
        uint8_t* to = pixels + layout.stride * static_cast<uint64_t>(layout.height - 1 - y);
        std::memset(to, 0, layout.stride);
        int32_t row = sourceIndex(y, layout.height, source.top, source.height, frame.height);
        if (row < 0) continue;
        if (frame.bottomUp) row = frame.height - 1 - row;
        const uint8_t* line = frame.data + frame.stride * static_cast<size_t>(row);
        for (int32_t x = 0; x < layout.width; ++x, to += 3) {
            const int32_t column =
                sourceIndex(x, layout.width, source.left, source.width, frame.width);
            if (column < 0) continue;
            const uint8_t* from = line + static_cast<size_t>(column) * 4;
            to[0] = from[blue];
            to[1] = from[1];
            to[2] = from[red];
        }
    }
}

}  // namespace platform::compositor
