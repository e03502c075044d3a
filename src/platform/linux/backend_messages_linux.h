// The shared list of the messages and virtual keys the backend sends and
// handles between the system and its own controls, and the packing of a
// mouse message's point.
#pragma once

#include <cstdint>

#include "platform/windows_values.h"

namespace platform::x11 {

// Client coordinates packed as a mouse message's lParam.
constexpr intptr_t pointParameter(int32_t x, int32_t y) {
    return static_cast<intptr_t>(static_cast<uint16_t>(x) |
                                 (static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16));
}
constexpr int32_t pointX(intptr_t lParam) { return static_cast<int16_t>(lParam & 0xFFFF); }
constexpr int32_t pointY(intptr_t lParam) { return static_cast<int16_t>((lParam >> 16) & 0xFFFF); }

}  // namespace platform::x11
