// The Direct3D object, the device on the display window, the status font and
// the DirectInput object: creation with its fallbacks, the calls around each
// frame, recovery of a lost device, the scene light and the final release.
#pragma once

#include <cstdint>

#include "platform/types.h"

bool initRenderer();
bool initGraphics(platform::WindowHandle window, int32_t width, int32_t height);
bool createDevice(platform::WindowHandle window, int32_t width, int32_t height);
bool createTextFont();
bool createDirectInput();
void beginScene();
void clearScene();
void endScene();
int32_t presentScene();
// 0 when the device is usable again, else the failing result. A device that
// cannot be reset yet is waited for (messages wake the wait), not reset.
int32_t recoverDevice();
void applySceneLight();
void releaseGraphics();
