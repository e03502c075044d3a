// The process: start-up, the idle-time frame loop, shutdown, the display
// window's procedure and the way to quit.
#pragma once

#include <cstdint>

#include "platform/types.h"

// Starts the program and runs it until the quit message; ends the process.
[[noreturn]] void runApplication();
// One frame: capture, keyboard, begin and clear, scene, end and present.
void runFrame();
// Destroys the render objects and releases the graphics device side.
void shutDown();
intptr_t displayWindowProc(platform::WindowHandle window, uint32_t message, uintptr_t wParam,
                           intptr_t lParam);
// Deletes the font and the brush and posts the quit message.
void quitApplication();
