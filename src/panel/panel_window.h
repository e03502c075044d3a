// The control panel: the skinned viewfinder pop-up with its quit button,
// snapshot button and prefix box. Its face and outline come from "枠.bmp".
#pragma once

#include <cstdint>

#include "platform/types.h"

// The panel's controls, as WM_COMMAND names them.
inline constexpr uint16_t kQuitButtonId = 1000;
inline constexpr uint16_t kSnapshotButtonId = 1001;
inline constexpr uint16_t kPrefixBoxId = 1002;

intptr_t panelWindowProc(platform::WindowHandle window, uint32_t message, uintptr_t wParam,
                         intptr_t lParam);

// Loads the skin, gives the panel its outline and keeps it above other windows.
void loadPanelSkin();
// Copies the whole skin bitmap to the paint device context at (0, 0).
void paintPanel(platform::DeviceContext dc);
// Hands the mouse press to the system's move loop, as if on a caption.
void beginPanelDrag();
// Writes one numbered snapshot at once.
void takeSnapshot();
// Stores the prefix box's text and restarts the snapshot numbering.
void readSnapshotPrefix();
