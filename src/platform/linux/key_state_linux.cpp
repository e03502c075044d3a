#include "platform/linux/key_state_linux.h"

#include <X11/XKBlib.h>
#include <X11/keysym.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/linux/backend_messages_linux.h"
#include "platform/linux/key_mapping_linux.h"
#include "platform/linux/window_record_linux.h"
#include "platform/linux/x11_display_linux.h"
#include "platform/window_system.h"

namespace platform {
namespace x11 {
namespace {

constexpr int kKeyCount = 256;
constexpr uint8_t kDown = 0x80;
constexpr uint8_t kToggled = 0x01;

// What the keyboard's keys are, read from the server when first needed and
// again when the layout, or the group of it in use, changes.
struct KeyboardMapping {
    bool known = false;
    std::array<int32_t, kKeyCount> keys{};             // Num Lock off
    std::array<int32_t, kKeyCount> keysWithNumLock{};  // Num Lock on
    unsigned int numLockMask = 0;
    unsigned int scrollLockMask = 0;
    unsigned int lockedModifiers = 0;
    int group = 0;  // the group (layout) in use
};

KeyboardMapping mapping;
std::array<uint8_t, kKeyCount> queueState{};
bool physicalKnown = false;
std::array<bool, kKeyCount> physicalDown{};

// A server without the keyboard extension: the core map's keysyms, two
// levels a group, and no names.
std::vector<KeySymbols> readCoreKeySymbols(Display* connection, int first, int last) {
    std::vector<KeySymbols> keys(static_cast<size_t>(last + 1));
    int perKey = 0;
    KeySym* keysyms =
        XGetKeyboardMapping(connection, static_cast<KeyCode>(first), last - first + 1, &perKey);
    if (keysyms == nullptr) return keys;
    for (int code = first; code <= last; ++code) {
        const KeySym* own = keysyms + static_cast<ptrdiff_t>(code - first) * perKey;
        KeySymbols& key = keys[static_cast<size_t>(code)];
        for (int level = 0; level < perKey; ++level) {
            if (level % 2 == 0) key.groups.emplace_back();
            key.groups.back().push_back(static_cast<uint32_t>(own[level]));
        }
    }
    XFree(keysyms);
    return keys;
}

// The keysyms of every key, the group in use first, and the keys' names.
std::vector<KeySymbols> readKeySymbols(Display* connection, int first, int last, int group) {
    XkbDescPtr keyboard = XkbGetMap(connection, XkbKeyTypesMask | XkbKeySymsMask, XkbUseCoreKbd);
    if (keyboard == nullptr) {
        static bool told = false;
        if (!std::exchange(told, true))
            std::fprintf(stderr,
                         "t462: the X server offers no keyboard map (XKB): keys are read from "
                         "its core map, and those of other scripts than Latin do not act\n");
        return readCoreKeySymbols(connection, first, last);
    }
    std::vector<KeySymbols> keys(static_cast<size_t>(last + 1));
    const bool named = XkbGetNames(connection, XkbKeyNamesMask, keyboard) == Success &&
                       keyboard->names != nullptr && keyboard->names->keys != nullptr;
    for (int code = std::max(first, int{keyboard->min_key_code});
         code <= last && code <= keyboard->max_key_code; ++code) {
        const auto keycode = static_cast<KeyCode>(code);
        KeySymbols& key = keys[static_cast<size_t>(code)];
        const int groups = XkbKeyNumGroups(keyboard, keycode);
        for (int i = 0; i < groups; ++i) {
            const int each = (group + i) % groups;
            std::vector<uint32_t>& levels = key.groups.emplace_back();
            for (int level = 0; level < XkbKeyGroupWidth(keyboard, keycode, each); ++level)
                levels.push_back(
                    static_cast<uint32_t>(XkbKeySymEntry(keyboard, keycode, level, each)));
        }
        if (named) {
            const char* name = keyboard->names->keys[code].name;
            key.name.assign(name, strnlen(name, XkbKeyNameLength));
        }
    }
    XkbFreeKeyboard(keyboard, 0, True);
    return keys;
}

KeyboardMapping& currentMapping() {
    if (mapping.known) return mapping;
    Display* connection = display();
    if (connection == nullptr) return mapping;
    int first = 0;
    int last = 0;
    XDisplayKeycodes(connection, &first, &last);
    last = std::min(last, kKeyCount - 1);
    XkbStateRec state{};
    if (XkbGetState(connection, XkbUseCoreKbd, &state) == Success) {
        mapping.lockedModifiers = state.locked_mods;
        mapping.group = state.group;
    }
    const std::vector<KeySymbols> keys = readKeySymbols(connection, first, last, mapping.group);
    const bool latin = isLatinLayout(keys);
    for (int code = first; code <= last; ++code) {
        const KeySymbols& key = keys[static_cast<size_t>(code)];
        mapping.keys[static_cast<size_t>(code)] = virtualKeyOf(key, latin, false);
        mapping.keysWithNumLock[static_cast<size_t>(code)] = virtualKeyOf(key, latin, true);
    }
    mapping.numLockMask = XkbKeysymToModifiers(connection, XK_Num_Lock);
    mapping.scrollLockMask = XkbKeysymToModifiers(connection, XK_Scroll_Lock);
    mapping.known = true;
    return mapping;
}

int32_t keyOfCode(unsigned int keycode, bool numLock) {
    if (keycode >= kKeyCount) return 0;
    const KeyboardMapping& keys = currentMapping();
    return numLock ? keys.keysWithNumLock[keycode] : keys.keys[keycode];
}

// Which virtual keys a keyboard bit map (32 bytes, one bit a key code) holds
// down, each Shift, Ctrl and Alt also as the key of either side.
std::array<bool, kKeyCount> keysHeld(const char keys[32]) {
    std::array<bool, kKeyCount> held{};
    const bool numLock = (currentMapping().lockedModifiers & mapping.numLockMask) != 0;
    for (int code = 0; code < kKeyCount; ++code) {
        if ((static_cast<unsigned char>(keys[code / 8]) & (1u << (code % 8))) == 0) continue;
        const int32_t key = keyOfCode(static_cast<unsigned int>(code), numLock);
        if (key <= 0 || key >= kKeyCount) continue;
        held[static_cast<size_t>(key)] = true;
        held[static_cast<size_t>(unsidedKey(key))] = true;
    }
    return held;
}

void setQueueKey(int32_t key, bool down) {
    uint8_t& state = queueState[static_cast<size_t>(key)];
    if (down && (state & kDown) == 0) state ^= kToggled;
    state = static_cast<uint8_t>((state & kToggled) | (down ? kDown : 0));
}

bool queueKeyDown(int32_t key) { return (queueState[static_cast<size_t>(key)] & kDown) != 0; }

// A lock key's toggle is the keyboard's lock, whatever the queue saw.
uint8_t lockToggle(int32_t key) {
    const unsigned int locked = currentMapping().lockedModifiers;
    switch (key) {
        case VK_CAPITAL:
            return (locked & LockMask) != 0 ? kToggled : 0;
        case VK_NUMLOCK:
            return (locked & mapping.numLockMask) != 0 ? kToggled : 0;
        case VK_SCROLL:
            return mapping.scrollLockMask != 0 && (locked & mapping.scrollLockMask) != 0 ? kToggled
                                                                                         : 0;
        default:
            return queueState[static_cast<size_t>(key)] & kToggled;
    }
}

}  // namespace

int32_t virtualKeyOfEvent(const XKeyEvent& event) {
    const bool numLock = (event.state & currentMapping().numLockMask) != 0;
    return keyOfCode(event.keycode, numLock);
}

void applyKeyMessage(int32_t sidedKey, bool down) {
    if (sidedKey <= 0 || sidedKey >= kKeyCount) return;
    setQueueKey(sidedKey, down);
    const int32_t unsided = unsidedKey(sidedKey);
    if (unsided == sidedKey) return;
    const int32_t left = unsided == VK_SHIFT     ? VK_LSHIFT
                         : unsided == VK_CONTROL ? VK_LCONTROL
                                                 : VK_LMENU;
    setQueueKey(unsided, queueKeyDown(left) || queueKeyDown(left + 1));
}

void resyncKeyState(const char keys[32]) {
    const std::array<bool, kKeyCount> held = keysHeld(keys);
    for (int key = 0; key < kKeyCount; ++key) {
        if (key == VK_LBUTTON) continue;
        uint8_t& state = queueState[static_cast<size_t>(key)];
        state =
            static_cast<uint8_t>((state & kToggled) | (held[static_cast<size_t>(key)] ? kDown : 0));
    }
}

void forgetPhysicalKeys() { physicalKnown = false; }

void keyboardMappingChanged() {
    mapping.known = false;
    physicalKnown = false;
}

void noteKeyboardState(unsigned int lockedModifiers, int group) {
    if (group != mapping.group) {
        mapping.group = group;
        keyboardMappingChanged();
    }
    currentMapping().lockedModifiers = lockedModifiers;
    physicalKnown = false;
}

}  // namespace x11

int16_t GetKeyState(int32_t virtualKey) {
    if (virtualKey <= 0 || virtualKey >= x11::kKeyCount) return 0;
    const uint8_t state =
        static_cast<uint8_t>((x11::queueState[static_cast<size_t>(virtualKey)] & x11::kDown) |
                             x11::lockToggle(virtualKey));
    // Down: the top bit of the 16-bit result, as Windows gives it (0xFF80).
    return static_cast<int16_t>(static_cast<int8_t>(state));
}

int16_t GetAsyncKeyState(int32_t virtualKey) {
    if (virtualKey <= 0 || virtualKey >= x11::kKeyCount) return 0;
    Display* connection = x11::display();
    if (connection == nullptr) return 0;
    if (!x11::physicalKnown) {
        char keys[32] = {};
        XQueryKeymap(connection, keys);
        x11::physicalDown = x11::keysHeld(keys);
        x11::physicalKnown = true;
    }
    return x11::physicalDown[static_cast<size_t>(virtualKey)] ? static_cast<int16_t>(0x8000) : 0;
}

}  // namespace platform
