// Texture sizes as both backends' texture and font objects choose them.
#pragma once

#include <algorithm>
#include <cstdint>

namespace d3dx {

// The least power of two at least `value` (at most 2^31).
constexpr uint32_t nextPowerOfTwo(uint32_t value) {
    uint32_t power = 1;
    while (power < value && power < 0x80000000u) power <<= 1;
    return power;
}

// What a device takes: 0 as a largest side means "not told" (2048 then).
struct TextureLimits {
    bool squareOnly = false;
    uint32_t maxWidth = 0;
    uint32_t maxHeight = 0;
};

// The texture size for a picture of this size, as the library's default
// chooses it: rounded up to powers of two, square where the device needs
// that, and halved until the device takes it.
constexpr void fitPictureSize(const TextureLimits& limits, uint32_t& width, uint32_t& height) {
    width = nextPowerOfTwo(width);
    height = nextPowerOfTwo(height);
    if (limits.squareOnly) width = height = std::max(width, height);
    const uint32_t maxWidth = limits.maxWidth != 0 ? limits.maxWidth : 2048;
    const uint32_t maxHeight = limits.maxHeight != 0 ? limits.maxHeight : 2048;
    while (width > maxWidth && width > 1) width /= 2;
    while (height > maxHeight && height > 1) height /= 2;
}

}  // namespace d3dx
