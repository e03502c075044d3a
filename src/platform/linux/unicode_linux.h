// UTF-8 and code points: the edit control edits characters, X and Xft speak
// UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace platform::x11 {

// The code points of UTF-8 text; a byte that starts no valid sequence
// becomes U+FFFD.
std::u32string codePointsOf(std::string_view utf8);
std::string utf8Of(std::u32string_view text);
// Latin-1 bytes (the STRING type of X selections, XLookupString) as code points.
std::u32string codePointsOfLatin1(std::string_view text);

}  // namespace platform::x11
