// Files: created or emptied, written in order, closed. Names are code page
// 932 (text_win32.h).
#include "platform/win32/native_win32.h"
#include "platform/win32/records_win32.h"
#include "platform/win32/text_win32.h"
#include "platform/window_system.h"

namespace platform {

using win32::native;

FileHandle CreateFileA(const char* name, uint32_t access, uint32_t shareMode, uint32_t disposition,
                       uint32_t attributes) {
    if (name == nullptr) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return kInvalidFile;
    }
    HANDLE file = ::CreateFileW(win32::wideText(name).c_str(), access, shareMode, nullptr,
                                disposition, attributes, nullptr);
    if (file == INVALID_HANDLE_VALUE) return kInvalidFile;
    return reinterpret_cast<FileHandle>(file);
}

// WriteFile always gets a count to fill, as it needs one without an
// overlapped record.
bool WriteFile(FileHandle file, const void* data, uint32_t size, uint32_t* written) {
    DWORD count = 0;
    const BOOL result = ::WriteFile(native(file), data, size, &count, nullptr);
    if (written != nullptr) *written = count;
    return result != FALSE;
}

bool CloseHandle(FileHandle file) { return ::CloseHandle(native(file)) != FALSE; }

}  // namespace platform
