// Typing through the X input method (XIM): one input context per top-level
// window, so that Japanese and composed characters arrive as text. Without
// an input method (or a locale X does not support), keys are read plainly.
#pragma once

#include <X11/Xlib.h>

#include "platform/linux/window_record_linux.h"

namespace platform::x11 {

// The window's input context, made on first use; null without an input
// method.
XIC inputContextOf(WindowObject& topLevel);
// The events the window must select for its input context.
long inputMethodEvents(WindowObject& topLevel);
void focusInputContext(WindowObject& topLevel, bool focused);
void dropInputContext(WindowObject& topLevel);
void closeInputMethod();

}  // namespace platform::x11
