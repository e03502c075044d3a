// Reading the clipboard (the CLIPBOARD selection) for pasting.
#pragma once

#include <X11/Xlib.h>

#include <optional>
#include <string>

namespace platform::x11 {

// The clipboard's text as UTF-8, asked for on behalf of `requestor` (one of
// our X windows). Nothing when no program offers text within a second.
// Other events that arrive meanwhile stay queued for the program.
std::optional<std::string> clipboardText(::Window requestor);

}  // namespace platform::x11
