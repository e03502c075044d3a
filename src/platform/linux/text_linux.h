// The program's texts and file names are code-page-932 bytes; X, the font
// libraries and the file system here want UTF-8. The conversions, through
// the C library's iconv.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform::x11 {

// The code-page-932 bytes as UTF-8; nothing where they are not valid code
// page 932.
std::optional<std::string> utf8FromCp932(std::string_view text);

// The text (valid UTF-8) as UTF-8 bytes read in another character set (an
// iconv name such as "CP1252"); nothing where they are not valid in it.
std::optional<std::string> utf8From(std::string_view text, const char* charset);

// The UTF-8 text in code page 932. A character code page 932 cannot hold,
// and a byte that is no UTF-8, becomes '?', which no file name holds, so that
// such a text never names a file.
std::string cp932FromUtf8(std::string_view text);

// Whether the bytes are valid UTF-8.
bool isUtf8(std::string_view text);

}  // namespace platform::x11
