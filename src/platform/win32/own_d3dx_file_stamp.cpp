// A file's stamp, for telling a file read on every frame unchanged.
//
// The change time is what makes the stamp trustworthy: a file can be put in
// place with any write time (a copy that keeps times, an archive unpacked),
// but every write, copy and rename sets its change time to now. Windows
// reports it only through the native call (GetFileAttributesEx has the
// creation time instead, which under Wine equals the write time).
#include <winternl.h>

#include <string>

#include "platform/win32/own_d3dx_win32.h"
#include "platform/win32/text_win32.h"

namespace platform::win32 {
namespace {

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

}  // namespace

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

}  // namespace platform::win32
