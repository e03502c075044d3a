#include "platform/win32/own_d3dx_win32.h"

namespace platform::win32 {

bool readWholeFile(const std::wstring& fileName, size_t maxBytes, std::vector<uint8_t>& bytes) {
    bytes.clear();
    if (fileName.empty()) return false;
    HANDLE file = ::CreateFileW(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    bool ok = ::GetFileSizeEx(file, &size) != 0 && size.QuadPart >= 0 &&
              static_cast<uint64_t>(size.QuadPart) <= maxBytes;
    if (ok) {
        // One byte more than the size said, to see a file that grew meanwhile.
        bytes.resize(static_cast<size_t>(size.QuadPart) + 1);
        DWORD got = 0;
        ok = ::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) != 0 &&
             got <= static_cast<uint64_t>(size.QuadPart);
        bytes.resize(ok ? got : 0);
    }
    ::CloseHandle(file);
    return ok;
}

}  // namespace platform::win32
