// Virtual-key codes of the keys the viewer is driven with. Letters and the
// digits of the main keyboard are their upper-case ASCII codes.
#pragma once

#include <cstdint>

#include "platform/windows_values.h"

namespace keys {

inline constexpr int32_t kEscape = platform::VK_ESCAPE;
inline constexpr int32_t kLeft = platform::VK_LEFT;
inline constexpr int32_t kUp = platform::VK_UP;
inline constexpr int32_t kRight = platform::VK_RIGHT;
inline constexpr int32_t kDown = platform::VK_DOWN;
inline constexpr int32_t kNumpad0 = platform::VK_NUMPAD0;  // VK_NUMPAD1 .. 9 follow
inline constexpr int32_t kNumpad1 = kNumpad0 + 1;
inline constexpr int32_t kNumpad2 = kNumpad0 + 2;
inline constexpr int32_t kNumpad3 = kNumpad0 + 3;
inline constexpr int32_t kNumpad4 = kNumpad0 + 4;
inline constexpr int32_t kNumpad6 = kNumpad0 + 6;
inline constexpr int32_t kNumpad7 = kNumpad0 + 7;
inline constexpr int32_t kNumpad8 = kNumpad0 + 8;
inline constexpr int32_t kNumpad9 = kNumpad0 + 9;
inline constexpr int32_t kMultiply = platform::VK_MULTIPLY;  // keypad *
inline constexpr int32_t kAdd = platform::VK_ADD;            // keypad +
inline constexpr int32_t kSubtract = platform::VK_SUBTRACT;  // keypad -
inline constexpr int32_t kDivide = platform::VK_DIVIDE;      // keypad /
inline constexpr int32_t kF5 = platform::VK_F5;
inline constexpr int32_t kLeftShift = platform::VK_LSHIFT;
inline constexpr int32_t kRightShift = platform::VK_RSHIFT;
inline constexpr int32_t kLeftControl = platform::VK_LCONTROL;
inline constexpr int32_t kRightControl = platform::VK_RCONTROL;

// A letter 'A'..'Z' or a main-keyboard digit '0'..'9'.
constexpr int32_t key(char c) { return static_cast<unsigned char>(c); }

// Letters and main-keyboard digits are read from the physical keyboard
// (GetAsyncKeyState); every other key from the thread's input queue (GetKeyState).
constexpr bool readsPhysicalState(int32_t virtualKey) {
    return (virtualKey >= '0' && virtualKey <= '9') || (virtualKey >= 'A' && virtualKey <= 'Z');
}

}  // namespace keys
