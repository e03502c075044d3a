// What our D3DX subset reads of the file system (d3dx/files.h): whole files
// under a name read in one of the code pages, and a file's stamp, for telling
// a file read on every frame unchanged.
//
// The change time is what makes the stamp trustworthy: a file can be put in
// place with any write time (a copy that keeps times, an archive unpacked),
// but every write, copy and rename sets its change time to now. Windows
// reports it only through the native call (GetFileAttributesEx has the
// creation time instead, which under Wine equals the write time).
#include <winternl.h>

#include <string>

#include "platform/d3dx/files.h"
#include "platform/win32/native_win32.h"
#include "platform/win32/text_win32.h"

namespace d3dx {
namespace {

using platform::win32::wideText;

// The layout of the native call's answer (FILE_NETWORK_OPEN_INFORMATION).
struct NetworkOpenInformation {
    LARGE_INTEGER creationTime;
    LARGE_INTEGER lastAccessTime;
    LARGE_INTEGER lastWriteTime;
    LARGE_INTEGER changeTime;
    LARGE_INTEGER allocationSize;
    LARGE_INTEGER endOfFile;
    ULONG fileAttributes;
};

using QueryFullAttributes = LONG(NTAPI*)(POBJECT_ATTRIBUTES, NetworkOpenInformation*);
using DosPathToNtPath = BOOLEAN(NTAPI*)(PCWSTR, PUNICODE_STRING, PCWSTR*, void*);
using FreeUnicodeString = void(NTAPI*)(PUNICODE_STRING);

struct NativeCalls {
    QueryFullAttributes query = nullptr;
    DosPathToNtPath toNtPath = nullptr;
    FreeUnicodeString freeString = nullptr;

    NativeCalls() {
        HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
        if (ntdll == nullptr) return;
        query = reinterpret_cast<QueryFullAttributes>(
            reinterpret_cast<void*>(::GetProcAddress(ntdll, "NtQueryFullAttributesFile")));
        toNtPath = reinterpret_cast<DosPathToNtPath>(
            reinterpret_cast<void*>(::GetProcAddress(ntdll, "RtlDosPathNameToNtPathName_U")));
        freeString = reinterpret_cast<FreeUnicodeString>(
            reinterpret_cast<void*>(::GetProcAddress(ntdll, "RtlFreeUnicodeString")));
    }
    bool present() const {
        return query != nullptr && toNtPath != nullptr && freeString != nullptr;
    }
};

const NativeCalls& nativeCalls() {
    static const NativeCalls calls;
    return calls;
}

uint64_t ticksOf(const LARGE_INTEGER& time) { return static_cast<uint64_t>(time.QuadPart); }

std::optional<xfile::FileStamp> nativeStamp(const NativeCalls& calls, const char* fileName) {
    const std::wstring wide = wideText(fileName);
    if (wide.empty()) return std::nullopt;
    UNICODE_STRING ntName{};
    if (!calls.toNtPath(wide.c_str(), &ntName, nullptr, nullptr)) return std::nullopt;
    OBJECT_ATTRIBUTES attributes{};
    attributes.Length = sizeof attributes;
    attributes.ObjectName = &ntName;
    attributes.Attributes = OBJ_CASE_INSENSITIVE;
    NetworkOpenInformation info{};
    const LONG status = calls.query(&attributes, &info);
    calls.freeString(&ntName);
    if (status < 0 || (info.fileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
        info.endOfFile.QuadPart < 0) {
        return std::nullopt;
    }
    return xfile::FileStamp{static_cast<uint64_t>(info.endOfFile.QuadPart),
                            ticksOf(info.lastWriteTime), ticksOf(info.changeTime)};
}

// One open, one size query, one read: the cheapest the system has, which
// matters as the model and its textures are read for every frame.
bool readNamedFile(const std::wstring& name, size_t maxBytes, std::vector<uint8_t>& bytes) {
    bytes.clear();
    if (name.empty()) return false;
    HANDLE file = ::CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
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

}  // namespace

bool readWholeFile(const char* name, NameEncoding encoding, size_t maxBytes,
                   std::vector<uint8_t>& bytes) {
    using platform::win32::readAs;
    bytes.clear();
    std::optional<std::wstring> reading;
    switch (encoding) {
        case NameEncoding::cp932:
            reading = readAs(name, platform::win32::kProgramCodePage);
            break;
        case NameEncoding::utf8:
            reading = readAs(name, CP_UTF8);
            break;
        case NameEncoding::system:
            reading = readAs(name, CP_ACP);
            if (reading && (reading == readAs(name, platform::win32::kProgramCodePage) ||
                            reading == readAs(name, CP_UTF8)))
                return false;  // tried already
            break;
    }
    return reading && readNamedFile(*reading, maxBytes, bytes);
}

std::optional<xfile::FileStamp> fileStamp(const char* fileName) {
    if (fileName == nullptr || fileName[0] == '\0') return std::nullopt;
    const NativeCalls& calls = nativeCalls();
    if (!calls.present()) return std::nullopt;
    return nativeStamp(calls, fileName);
}

uint64_t fileClockNow() {
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    return (uint64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime;
}

}  // namespace d3dx
