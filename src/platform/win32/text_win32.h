// The program's texts and file names are code-page-932 bytes. Windows reads
// the bytes given to an ...A function in the system's code page, which is 932
// only on a Japanese system; so this backend converts them itself, from and
// to code page 932, and calls the wide functions.
#pragma once

#include <optional>
#include <string>

#include "platform/win32/native_win32.h"

namespace platform::win32 {

inline constexpr UINT kProgramCodePage = 932;

// A code-page-932 text in UTF-16; bytes that are no character of that code
// page are replaced. Null gives an empty text: see WideText.
std::wstring wideText(const char* text);

// For arguments that may be null: c_str() gives null back for a null text.
class WideText {
public:
    explicit WideText(const char* text) : null_(text == nullptr), text_(wideText(text)) {}
    const wchar_t* c_str() const { return null_ ? nullptr : text_.c_str(); }

private:
    bool null_;
    std::wstring text_;
};

// The text in code page 932. A character code page 932 cannot hold becomes
// '?', which no file name holds, so that such a text never names a file.
std::string programText(const wchar_t* text);

// The bytes read in `codePage`, strictly: nothing where they are not valid
// in it.
std::optional<std::wstring> readAs(const char* text, UINT codePage);

}  // namespace platform::win32
