// The virtual keys that only the backend sends and handles, between the
// system and its own controls (the numbers are Windows' own), and the shared
// list of messages they come with.
#pragma once

#include <cstdint>

#include "platform/windows_values.h"

namespace platform::x11 {

inline constexpr int32_t kKeyLeftButton = 0x01;  // VK_LBUTTON
inline constexpr int32_t kKeyBack = 0x08;        // VK_BACK
inline constexpr int32_t kKeyReturn = 0x0D;      // VK_RETURN
inline constexpr int32_t kKeyShift = 0x10;       // VK_SHIFT
inline constexpr int32_t kKeyControl = 0x11;     // VK_CONTROL
inline constexpr int32_t kKeyMenu = 0x12;        // VK_MENU (Alt)
inline constexpr int32_t kKeyCapital = 0x14;     // VK_CAPITAL
inline constexpr int32_t kKeyEscape = 0x1B;      // VK_ESCAPE
inline constexpr int32_t kKeySpace = 0x20;       // VK_SPACE
inline constexpr int32_t kKeyEnd = 0x23;         // VK_END
inline constexpr int32_t kKeyHome = 0x24;        // VK_HOME
inline constexpr int32_t kKeyLeft = 0x25;        // VK_LEFT
inline constexpr int32_t kKeyRight = 0x27;       // VK_RIGHT
inline constexpr int32_t kKeyInsert = 0x2D;      // VK_INSERT
inline constexpr int32_t kKeyDelete = 0x2E;      // VK_DELETE
inline constexpr int32_t kKeyNumLock = 0x90;     // VK_NUMLOCK
inline constexpr int32_t kKeyScrollLock = 0x91;  // VK_SCROLL

// Client coordinates packed as a mouse message's lParam.
constexpr intptr_t pointParameter(int32_t x, int32_t y) {
    return static_cast<intptr_t>(static_cast<uint16_t>(x) |
                                 (static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16));
}
constexpr int32_t pointX(intptr_t lParam) { return static_cast<int16_t>(lParam & 0xFFFF); }
constexpr int32_t pointY(intptr_t lParam) { return static_cast<int16_t>((lParam >> 16) & 0xFFFF); }

}  // namespace platform::x11
