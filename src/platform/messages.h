// The window messages and notification values the program sends and handles.
// Every backend delivers messages with these numbers.
#pragma once

#include <cstdint>

namespace platform {

inline constexpr uint32_t WM_CREATE = 0x0001;
inline constexpr uint32_t WM_DESTROY = 0x0002;
inline constexpr uint32_t WM_PAINT = 0x000F;
inline constexpr uint32_t WM_CLOSE = 0x0010;
inline constexpr uint32_t WM_QUIT = 0x0012;
inline constexpr uint32_t WM_SETFONT = 0x0030;
inline constexpr uint32_t WM_NCLBUTTONDOWN = 0x00A1;
inline constexpr uint32_t WM_KEYDOWN = 0x0100;
inline constexpr uint32_t WM_COMMAND = 0x0111;
inline constexpr uint32_t WM_LBUTTONDOWN = 0x0201;

inline constexpr uint32_t PM_REMOVE = 0x0001;

inline constexpr uint16_t BN_CLICKED = 0x0000;
inline constexpr uint16_t EN_CHANGE = 0x0300;
inline constexpr uintptr_t HTCAPTION = 2;

}  // namespace platform
