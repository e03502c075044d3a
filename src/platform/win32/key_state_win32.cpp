// The keyboard state.
//
// GetKeyState reports the thread's key state, which changes only as the thread
// takes input messages from its queue. Under Wine each GetKeyState is a round
// trip to the Wine server, and the controls ask for twenty-odd keys a frame
// (about 1 ms at 1920 by 1080); so the whole state is read with one
// GetKeyboardState and answered from until the thread may have taken
// messages again. GetAsyncKeyState reads the physical state and is passed on.
#include "platform/win32/key_state_win32.h"

#include <cstdint>

#include "platform/win32/native_win32.h"
#include "platform/window_system.h"

namespace platform {
namespace {

struct KeyStateSnapshot {
    bool valid = false;
    BYTE keys[256] = {};
};

KeyStateSnapshot& snapshot() {
    static KeyStateSnapshot keys;
    return keys;
}

}  // namespace

void win32::forgetKeyState() { snapshot().valid = false; }

int16_t GetKeyState(int32_t virtualKey) {
    if (virtualKey < 0 || virtualKey > 255) return ::GetKeyState(virtualKey);
    KeyStateSnapshot& keys = snapshot();
    if (!keys.valid) {
        if (::GetKeyboardState(keys.keys) == FALSE) return ::GetKeyState(virtualKey);
        keys.valid = true;
    }
    // As GetKeyState gives it: the high bit for down, the low bit for toggled.
    return static_cast<int16_t>(static_cast<int8_t>(keys.keys[virtualKey] & 0x81));
}

int16_t GetAsyncKeyState(int32_t virtualKey) { return ::GetAsyncKeyState(virtualKey); }

}  // namespace platform
