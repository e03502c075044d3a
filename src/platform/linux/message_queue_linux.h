// The thread's one message queue: messages the program posts and those the
// X events turn into, in order; WM_QUIT once the rest is taken; WM_PAINT
// for windows that wait for painting once nothing else is queued.
#pragma once

#include <cstdint>
#include <string>

#include "platform/types.h"

namespace platform::x11 {

// What a key message carries besides itself: the key with its side (the key
// state keeps VK_LSHIFT as well as VK_SHIFT) and the text the key typed,
// which TranslateMessage turns into WM_CHAR messages.
struct KeyDetail {
    int32_t sidedKey = 0;
    bool down = false;
    std::u32string text;
};

void postMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);
void postKeyMessage(const Message& message, KeyDetail detail);
// WM_CHAR messages for typed text (an input method's result).
void postCharacters(WindowHandle window, std::u32string_view text);

// Calls the window's procedure now; 0 when the handle names no window.
intptr_t sendMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// Paints every window that waits for it, for modal loops that keep the
// windows drawn while the program's own loop does not run.
void paintWaitingWindows();

}  // namespace platform::x11
