// The process and its module, message boxes and the common controls.
#include "platform/win32/native_win32.h"
#include "platform/win32/records_win32.h"
#include "platform/window_system.h"

namespace platform {

using win32::native;
using win32::portable;

InstanceHandle GetModuleHandleA(const char* moduleName) {
    return portable(::GetModuleHandleA(moduleName));
}

void ExitProcess(uint32_t exitCode) { ::ExitProcess(exitCode); }

int32_t MessageBoxA(WindowHandle owner, const char* text, const char* caption, uint32_t style) {
    return ::MessageBoxA(native(owner), text, caption, style);
}

bool InitCommonControlsEx(uint32_t recordSize, uint32_t classes) {
    INITCOMMONCONTROLSEX record{};
    record.dwSize = recordSize;
    record.dwICC = classes;
    return ::InitCommonControlsEx(&record) != FALSE;
}

}  // namespace platform
