// The process and its module, the common controls, icons and cursors.
#include <unistd.h>

#include <cstdio>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#include "platform/linux/input_method_linux.h"
#include "platform/linux/window_record_linux.h"
#include "platform/linux/x11_display_linux.h"
#include "platform/window_system.h"

namespace platform {

namespace {

constexpr uint32_t kCommonControlsRecordSize = 8;  // sizeof(INITCOMMONCONTROLSEX)
const auto kModule = reinterpret_cast<InstanceHandle>(uintptr_t{0x400000});

}  // namespace

// The program itself is the only module.
InstanceHandle GetModuleHandleA(const char* moduleName) {
    return moduleName == nullptr ? kModule : nullptr;
}

// The windows go at once, without their procedures running in the
// process's last moments (as the Windows backend closes them); the X server
// frees the rest with the connection. The C library's exit handlers do not
// run, as ExitProcess does not run the program's: the graphics libraries'
// threads are not waited for.
void ExitProcess(uint32_t exitCode) {
    if (Display* connection = x11::display()) {
        x11::closeInputMethod();
        for (WindowHandle handle : x11::allWindows()) {
            const x11::WindowObject* window = x11::findWindow(handle);
            if (window != nullptr && x11::isTopLevel(*window) && window->xwindow != None)
                XDestroyWindow(connection, window->xwindow);
        }
        XSync(connection, False);
    }
    std::fflush(nullptr);
#if defined(__SANITIZE_ADDRESS__)
    // The sanitized build checks for leaks here, which exit handlers would
    // have done.
    __lsan_do_leak_check();
#endif
    ::_exit(static_cast<int>(exitCode & 0xFF));
}

bool InitCommonControlsEx(uint32_t recordSize, uint32_t) {
    return recordSize == kCommonControlsRecordSize;
}

// Stand-ins: X windows take the pointer's shape from the backend (an arrow,
// an I-beam over edit boxes) and have no icons of the program's.
IconHandle LoadIconA(InstanceHandle, uintptr_t resourceId) {
    return reinterpret_cast<IconHandle>(uintptr_t{0x1000} + resourceId);
}

CursorHandle LoadCursorA(InstanceHandle, uintptr_t resourceId) {
    return reinterpret_cast<CursorHandle>(uintptr_t{0x1000} + resourceId);
}

}  // namespace platform
