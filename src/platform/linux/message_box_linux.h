// The backend's message box, for texts in UTF-8 (MessageBoxA takes code page
// 932): a file name that code page 932 cannot hold is shown as it is.
#pragma once

#include <string>

namespace platform::x11 {

// Shows TEXT under CAPTION and waits until the user answers; without an X
// server the text goes to the standard error.
void showMessageBox(const std::string& caption, const std::string& text);

}  // namespace platform::x11
