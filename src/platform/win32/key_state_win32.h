// The thread's key state as GetKeyState reports it, read whole and kept until
// the thread may have taken input messages (key_state_win32.cpp).
#pragma once

namespace platform::win32 {

// To be called after anything that may take messages from the queue:
// PeekMessage, a dispatch or a sent message (whose procedure may run a modal
// loop), a message box.
void forgetKeyState();

}  // namespace platform::win32
