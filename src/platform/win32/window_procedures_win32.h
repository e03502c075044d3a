// Our window procedures are plain functions of our own type, not WNDPROCs.
// Each registered class is given one of a fixed set of native procedures
// (slots) that forwards every message to the procedure bound to it.
#pragma once

#include "platform/types.h"
#include "platform/win32/native_win32.h"

namespace platform::win32 {

// The native procedure of a free slot, now bound to `procedure`; null when
// every slot is taken.
WNDPROC bindWindowProcedure(WindowProc procedure);
// Frees the slot of `slotProcedure` again (after a failed registration).
void unbindWindowProcedure(WNDPROC slotProcedure);

}  // namespace platform::win32
