// Virtual-key codes of the keys the viewer is driven with. Letters and the
// digits of the main keyboard are their upper-case ASCII codes.
#pragma once

#include <cstdint>

namespace keys {

inline constexpr int32_t kEscape = 0x1B;   // VK_ESCAPE
inline constexpr int32_t kLeft = 0x25;     // VK_LEFT
inline constexpr int32_t kUp = 0x26;       // VK_UP
inline constexpr int32_t kRight = 0x27;    // VK_RIGHT
inline constexpr int32_t kDown = 0x28;     // VK_DOWN
inline constexpr int32_t kNumpad0 = 0x60;  // VK_NUMPAD0; VK_NUMPAD1 .. 9 follow
inline constexpr int32_t kNumpad1 = 0x61;
inline constexpr int32_t kNumpad2 = 0x62;
inline constexpr int32_t kNumpad3 = 0x63;
inline constexpr int32_t kNumpad4 = 0x64;
inline constexpr int32_t kNumpad6 = 0x66;
inline constexpr int32_t kNumpad7 = 0x67;
inline constexpr int32_t kNumpad8 = 0x68;
inline constexpr int32_t kNumpad9 = 0x69;
inline constexpr int32_t kMultiply = 0x6A;      // VK_MULTIPLY, keypad *
inline constexpr int32_t kAdd = 0x6B;           // VK_ADD, keypad +
inline constexpr int32_t kSubtract = 0x6D;      // VK_SUBTRACT, keypad -
inline constexpr int32_t kDivide = 0x6F;        // VK_DIVIDE, keypad /
inline constexpr int32_t kF5 = 0x74;            // VK_F5
inline constexpr int32_t kLeftShift = 0xA0;     // VK_LSHIFT
inline constexpr int32_t kRightShift = 0xA1;    // VK_RSHIFT
inline constexpr int32_t kLeftControl = 0xA2;   // VK_LCONTROL
inline constexpr int32_t kRightControl = 0xA3;  // VK_RCONTROL

// A letter 'A'..'Z' or a main-keyboard digit '0'..'9'.
constexpr int32_t key(char c) { return static_cast<unsigned char>(c); }

// Letters and main-keyboard digits are read from the physical keyboard
// (GetAsyncKeyState); every other key from the thread's input queue (GetKeyState).
constexpr bool readsPhysicalState(int32_t virtualKey) {
    return (virtualKey >= '0' && virtualKey <= '9') || (virtualKey >= 'A' && virtualKey <= 'Z');
}

}  // namespace keys
