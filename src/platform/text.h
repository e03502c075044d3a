// Byte-level helpers for the program's texts: code-page-932 strings and the
// ASCII names of file formats and devices. The same rules hold for the Parts
// and for the backends' readers.
#pragma once

#include <cstddef>
#include <string_view>

namespace platform {

// A first byte of a two-byte code-page-932 character. Its second byte may be
// any of 0x40 to 0xFC, 0x5C (the backslash) and brackets included.
constexpr bool isCp932LeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Cuts a NUL-terminated code-page-932 text so that it does not end in the
// first byte of a two-byte character (a cut at a byte count can split one).
inline void trimSplitCp932Character(char* text) {
    size_t at = 0;
    while (text[at] != '\0') {
        if (!isCp932LeadByte(static_cast<unsigned char>(text[at]))) {
            ++at;
        } else if (text[at + 1] == '\0') {
            text[at] = '\0';
            return;
        } else {
            at += 2;
        }
    }
}

// Equal when only the case of ASCII letters differs.
constexpr bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] - 'A' + 'a') : a[i];
        const char y = b[i] >= 'A' && b[i] <= 'Z' ? static_cast<char>(b[i] - 'A' + 'a') : b[i];
        if (x != y) return false;
    }
    return true;
}

}  // namespace platform
