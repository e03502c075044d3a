// The process and its module, message boxes and the common controls.
#include "platform/win32/key_state_win32.h"
#include "platform/win32/native_win32.h"
#include "platform/win32/records_win32.h"
#include "platform/win32/text_win32.h"
#include "platform/window_system.h"

namespace platform {

using win32::native;
using win32::portable;

InstanceHandle GetModuleHandleA(const char* moduleName) {
    return portable(::GetModuleHandleW(win32::WideText(moduleName).c_str()));
}

namespace {

// Takes one window of the thread down quietly: with the default procedure,
// so that none of the program's handlers runs in the process's last moments.
BOOL CALLBACK closeQuietly(HWND window, LPARAM) {
    if (::IsWindowVisible(window)) {
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(::DefWindowProcW));
        ::DestroyWindow(window);
    }
    return TRUE;
}

}  // namespace

void ExitProcess(uint32_t exitCode) {
    // Windows takes the thread's windows down with the process anyway. Under
    // Wine, a process that ends with its Direct3D window still open (the quit
    // button, Escape) now and then dies in Wine's own teardown, a crash or a
    // kill by the Wine server in place of the exit code; closing the windows
    // first, as a close request does, avoids that.
    ::EnumThreadWindows(::GetCurrentThreadId(), closeQuietly, 0);
    ::ExitProcess(exitCode);
}

int32_t MessageBoxA(WindowHandle owner, const char* text, const char* caption, uint32_t style) {
    const int result = ::MessageBoxW(native(owner), win32::WideText(text).c_str(),
                                     win32::WideText(caption).c_str(), style);
    win32::forgetKeyState();  // its modal loop took messages
    return result;
}

bool InitCommonControlsEx(uint32_t recordSize, uint32_t classes) {
    INITCOMMONCONTROLSEX record{};
    record.dwSize = recordSize;
    record.dwICC = classes;
    return ::InitCommonControlsEx(&record) != FALSE;
}

}  // namespace platform
