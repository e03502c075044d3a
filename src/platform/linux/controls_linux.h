// The system's own control classes, drawn and run by the backend as child
// windows of ours: "BUTTON" (a push button) and "EDIT" (a single-line box).
#pragma once

#include <cstdint>

#include "platform/types.h"

namespace platform::x11 {

intptr_t buttonProcedure(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);
intptr_t editProcedure(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// Tells the control's parent, as WM_COMMAND with the control's id and
// `code` (BN_CLICKED, EN_CHANGE).
void notifyParent(WindowHandle control, uint16_t code);

}  // namespace platform::x11
