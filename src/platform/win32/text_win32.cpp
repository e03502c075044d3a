#include "platform/win32/text_win32.h"

namespace platform::win32 {
namespace {

std::optional<std::wstring> convert(const char* text, UINT codePage, bool strict) {
    if (text == nullptr || text[0] == '\0') return std::wstring{};
    const DWORD flags = strict ? MB_ERR_INVALID_CHARS : 0;
    const int length = ::MultiByteToWideChar(codePage, flags, text, -1, nullptr, 0);
    if (length <= 0) return std::nullopt;
    std::wstring wide(static_cast<size_t>(length), L'\0');
    if (::MultiByteToWideChar(codePage, flags, text, -1, wide.data(), length) != length)
        return std::nullopt;
    wide.resize(static_cast<size_t>(length) - 1);
    return wide;
}

}  // namespace

std::wstring wideText(const char* text) {
    return convert(text, kProgramCodePage, false).value_or(std::wstring{});
}

std::optional<std::wstring> readAs(const char* text, UINT codePage) {
    return convert(text, codePage, true);
}

std::string programText(const wchar_t* text) {
    if (text == nullptr || text[0] == L'\0') return {};
    // No best fit: a character without its own code would otherwise turn into
    // a look-alike ("é" into "e") and name another file.
    const DWORD flags = WC_NO_BEST_FIT_CHARS;
    const int length =
        ::WideCharToMultiByte(kProgramCodePage, flags, text, -1, nullptr, 0, "?", nullptr);
    if (length <= 0) return {};
    std::string narrow(static_cast<size_t>(length), '\0');
    if (::WideCharToMultiByte(kProgramCodePage, flags, text, -1, narrow.data(), length, "?",
                              nullptr) != length)
        return {};
    narrow.resize(static_cast<size_t>(length) - 1);
    return narrow;
}

}  // namespace platform::win32
