// Which Windows virtual key an X key stands for, from the key's keysyms alone
// (no X connection: the unit tests check it).
#pragma once

#include <cstdint>

namespace platform::x11 {

// The virtual key of a key whose keysyms on its first two levels are `plain`
// and `shifted`: letters and main-keyboard digits as their upper-case ASCII
// codes (whatever the modifiers), keypad digits as VK_NUMPAD0..9 only with
// Num Lock on (with it off, the keypad's arrows and the like), the left and
// right Shift, Ctrl and Alt keys apart (VK_LSHIFT ... VK_RMENU). 0 for a key
// that has no virtual key.
int32_t virtualKeyOf(uint32_t plain, uint32_t shifted, bool numLock);

// VK_SHIFT for either Shift key, VK_CONTROL for either Ctrl key, VK_MENU for
// either Alt key (what key messages carry); any other key is itself.
int32_t unsidedKey(int32_t key);

}  // namespace platform::x11
