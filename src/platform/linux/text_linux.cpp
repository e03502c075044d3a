#include "platform/linux/text_linux.h"

#include <iconv.h>

#include <cerrno>
#include <memory>

namespace platform::x11 {
namespace {

// An iconv descriptor, opened once per pair of character sets used.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (valid()) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts all of `text`; `onInvalid` is called for each input byte that
    // cannot be converted and returns false to give up.
    template <class OnInvalid>
    std::optional<std::string> convert(std::string_view text, OnInvalid onInvalid) {
        if (!valid()) return std::nullopt;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
        std::string out;
        char* in = const_cast<char*>(text.data());
        size_t inLeft = text.size();
        char buffer[256];
        while (inLeft > 0) {
            char* outAt = buffer;
            size_t outLeft = sizeof buffer;
            const size_t result = iconv(cd_, &in, &inLeft, &outAt, &outLeft);
            out.append(buffer, static_cast<size_t>(outAt - buffer));
            if (result != static_cast<size_t>(-1)) continue;
            if (errno == E2BIG) continue;
            // EILSEQ or EINVAL: a sequence that cannot be converted.
            if (!onInvalid(out)) return std::nullopt;
            const size_t skip = skipLength(in, inLeft);
            in += skip;
            inLeft -= skip;
        }
        return out;
    }

private:
    // Input bytes that make up the character at `at` (UTF-8 input only is
    // skipped by whole characters; anything else by one byte).
    static size_t skipLength(const char* at, size_t left) {
        const auto lead = static_cast<unsigned char>(at[0]);
        size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        if (length > left) length = left;
        for (size_t i = 1; i < length; ++i) {
            if ((static_cast<unsigned char>(at[i]) & 0xC0) != 0x80) return i;
        }
        return length;
    }

    iconv_t cd_;
};

constexpr auto kRefuse = [](std::string&) { return false; };

}  // namespace

std::optional<std::string> utf8FromCp932(std::string_view text) {
    static Converter converter("UTF-8", "CP932");
    return converter.convert(text, kRefuse);
}

std::optional<std::string> utf8From(std::string_view text, const char* charset) {
    Converter converter("UTF-8", charset);
    return converter.convert(text, kRefuse);
}

std::string cp932FromUtf8(std::string_view text) {
    static Converter converter("CP932", "UTF-8");
    return converter
        .convert(text,
                 [](std::string& out) {
                     out += '?';
                     return true;
                 })
        .value_or(std::string(text.size(), '?'));
}

bool isUtf8(std::string_view text) {
    static Converter converter("UTF-8", "UTF-8");
    return converter.convert(text, kRefuse).has_value();
}

}  // namespace platform::x11
