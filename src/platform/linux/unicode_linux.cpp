#include "platform/linux/unicode_linux.h"

#include <cstdint>

namespace platform::x11 {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The length of the sequence a lead byte starts, with the bits it gives; 0
// for a byte that starts none.
int sequenceLength(unsigned char lead, char32_t& value) {
    if (lead < 0x80) {
        value = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        value = lead & 0x1F;
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        value = lead & 0x0F;
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        value = lead & 0x07;
        return 4;
    }
    return 0;
}

}  // namespace

std::u32string codePointsOf(std::string_view utf8) {
    std::u32string out;
    size_t at = 0;
    while (at < utf8.size()) {
        char32_t value = 0;
        const int length = sequenceLength(static_cast<unsigned char>(utf8[at]), value);
        bool valid = length > 0 && at + static_cast<size_t>(length) <= utf8.size();
        for (int i = 1; valid && i < length; ++i) {
            const auto next = static_cast<unsigned char>(utf8[at + static_cast<size_t>(i)]);
            valid = (next & 0xC0) == 0x80;
            value = (value << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are no characters.
        const char32_t least = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
        if (valid && length > 1 &&
            (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)))
            valid = false;
        out.push_back(valid ? value : kReplacement);
        at += valid ? static_cast<size_t>(length) : 1;
    }
    return out;
}

std::string utf8Of(std::u32string_view text) {
    std::string out;
    for (char32_t c : text) {
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = kReplacement;
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

std::u32string codePointsOfLatin1(std::string_view text) {
    std::u32string out;
    out.reserve(text.size());
    for (char c : text) out.push_back(static_cast<unsigned char>(c));
    return out;
}

}  // namespace platform::x11
