// The control panel: the skinned viewfinder pop-up with its controls.
#pragma once

#include <cstdint>

#include "platform/types.h"

intptr_t panelWindowProc(platform::WindowHandle window, uint32_t message, uintptr_t wParam,
                         intptr_t lParam);
