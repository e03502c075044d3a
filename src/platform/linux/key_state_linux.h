// The keyboard as the program asks about it. GetKeyState answers from the
// key messages the program has taken from its queue; GetAsyncKeyState from
// the keyboard itself, read once after each look at the queue (one round
// trip a frame, not one a key).
#pragma once

#include <X11/Xlib.h>

#include <cstdint>

namespace platform::x11 {

// The virtual key (left and right apart) of a key event, with the event's
// own Num Lock.
int32_t virtualKeyOfEvent(const XKeyEvent& event);

// A key message taken from the queue: the key state follows it.
void applyKeyMessage(int32_t sidedKey, bool down);

// The keys held when one of our windows gained the focus (KeymapNotify):
// keys let go meanwhile elsewhere no longer count as held.
void resyncKeyState(const char keys[32]);

// The next GetAsyncKeyState reads the keyboard again.
void forgetPhysicalKeys();

// The layout changed: the keys are read again.
void keyboardMappingChanged();
// The lock keys' state and the group (layout) in use, as the keyboard
// reports them.
void noteKeyboardState(unsigned int lockedModifiers, int group);

}  // namespace platform::x11
