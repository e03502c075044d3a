// Which Windows virtual key an X key stands for, from what the keyboard map
// says of the key alone (no X connection: the unit tests check it).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform::x11 {

// One key of the keyboard map: its keysyms, group by group (the group in use
// first), each group level by level; and its XKB name ("AE01", "AD01", ...:
// where the key sits, whatever the layout).
struct KeySymbols {
    std::vector<std::vector<uint32_t>> groups;
    std::string name;
};

// Whether the layout in use writes Latin letters: most of the keys at the
// US layout's letter places carry one on their first level.
bool isLatinLayout(const std::vector<KeySymbols>& keys);

// The virtual key of a key, as Windows gives it with the same layout:
// - keys that mean the same on every layout (function keys, Escape, the
//   arrows, the left and right Shift, Ctrl and Alt apart as VK_LSHIFT ...
//   VK_RMENU) from the first level of the group in use;
// - keypad digits as VK_NUMPAD0..9 only with Num Lock on (with it off, the
//   keypad's arrows and the like);
// - letters and main-keyboard digits as their upper-case ASCII codes: the
//   first Latin letter or digit on any level of any group (QWERTZ's Z is Z,
//   AZERTY's top row 1 to 0);
// - in a Latin layout, the ASCII punctuation keys as the VK_OEM_ keys of
//   their characters;
// - any other key of the main block by its place, as the US layout names it:
//   the letters of Cyrillic, Greek and other layouts.
// 0 for a key that has no virtual key.
int32_t virtualKeyOf(const KeySymbols& key, bool latinLayout, bool numLock);

// VK_SHIFT for either Shift key, VK_CONTROL for either Ctrl key, VK_MENU for
// either Alt key (what key messages carry); any other key is itself.
int32_t unsidedKey(int32_t key);

}  // namespace platform::x11
