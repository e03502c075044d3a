// Window classes, windows and the message queue. Every window is a Unicode
// window: texts cross in code page 932 and are converted here
// (text_win32.h), whatever the system's code page.
#include <algorithm>
#include <cstring>
#include <string>

#include "platform/win32/key_state_win32.h"
#include "platform/win32/native_win32.h"
// native_win32.h first
#include <mmsystem.h>

#include "platform/win32/records_win32.h"
#include "platform/win32/text_win32.h"
#include "platform/win32/window_procedures_win32.h"
#include "platform/window_system.h"

namespace platform {

using win32::native;
using win32::portable;

// --- window classes and windows ------------------------------------------

IconHandle LoadIconA(InstanceHandle instance, uintptr_t resourceId) {
    return reinterpret_cast<IconHandle>(
        ::LoadIconW(native(instance), MAKEINTRESOURCEW(resourceId)));
}

CursorHandle LoadCursorA(InstanceHandle instance, uintptr_t resourceId) {
    return reinterpret_cast<CursorHandle>(
        ::LoadCursorW(native(instance), MAKEINTRESOURCEW(resourceId)));
}

uint32_t GetSysColor(int32_t index) { return ::GetSysColor(index); }

// The native record is filled member by member. Its size is always that of
// the native record: the size our caller gives is the one of the 32-bit
// record, which a 64-bit RegisterClassExA would refuse.
uint16_t RegisterClassExA(const WindowClass* windowClass) {
    if (windowClass == nullptr) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    WNDPROC procedure = nullptr;
    if (windowClass->procedure != nullptr) {
        procedure = win32::bindWindowProcedure(windowClass->procedure);
        if (procedure == nullptr) {
            ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return 0;
        }
    }
    const win32::WideText menuName(windowClass->menuName);
    const win32::WideText className(windowClass->className);
    WNDCLASSEXW record{};
    record.cbSize = sizeof record;
    record.style = windowClass->style;
    record.lpfnWndProc = procedure;
    record.cbClsExtra = windowClass->classExtra;
    record.cbWndExtra = windowClass->windowExtra;
    record.hInstance = native(windowClass->instance);
    record.hIcon = reinterpret_cast<HICON>(windowClass->icon);
    record.hCursor = reinterpret_cast<HCURSOR>(windowClass->cursor);
    record.hbrBackground = win32::nativeObject<HBRUSH>(windowClass->background);
    record.lpszMenuName = menuName.c_str();
    record.lpszClassName = className.c_str();
    record.hIconSm = reinterpret_cast<HICON>(windowClass->smallIcon);
    const ATOM atom = ::RegisterClassExW(&record);
    if (atom == 0 && procedure != nullptr) win32::unbindWindowProcedure(procedure);
    return atom;
}

WindowHandle CreateWindowExA(uint32_t exStyle, const char* className, const char* title,
                             uint32_t style, int32_t x, int32_t y, int32_t width, int32_t height,
                             WindowHandle parent, uintptr_t menuOrId, InstanceHandle instance,
                             void* creationData) {
    return portable(::CreateWindowExW(exStyle, win32::WideText(className).c_str(),
                                      win32::WideText(title).c_str(), style, x, y, width, height,
                                      native(parent), reinterpret_cast<HMENU>(menuOrId),
                                      native(instance), creationData));
}

intptr_t DefWindowProcA(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    return ::DefWindowProcW(native(window), message, wParam, lParam);
}

bool DestroyWindow(WindowHandle window) { return ::DestroyWindow(native(window)) != FALSE; }

bool MoveWindow(WindowHandle window, int32_t x, int32_t y, int32_t width, int32_t height,
                bool repaint) {
    return ::MoveWindow(native(window), x, y, width, height, repaint ? TRUE : FALSE) != FALSE;
}

bool SetWindowPos(WindowHandle window, intptr_t insertAfter, int32_t x, int32_t y, int32_t width,
                  int32_t height, uint32_t flags) {
    return ::SetWindowPos(native(window), reinterpret_cast<HWND>(insertAfter), x, y, width, height,
                          flags) != FALSE;
}

bool GetWindowRect(WindowHandle window, Rect* rect) {
    RECT result{};
    if (rect == nullptr || ::GetWindowRect(native(window), &result) == FALSE) return false;
    *rect = portable(result);
    return true;
}

bool GetClientRect(WindowHandle window, Rect* rect) {
    RECT result{};
    if (rect == nullptr || ::GetClientRect(native(window), &result) == FALSE) return false;
    *rect = portable(result);
    return true;
}

bool ClientToScreen(WindowHandle window, Point* point) {
    if (point == nullptr) return false;
    POINT result = native(*point);
    if (::ClientToScreen(native(window), &result) == FALSE) return false;
    *point = portable(result);
    return true;
}

int32_t SetWindowRgn(WindowHandle window, GdiObject region, bool redraw) {
    return ::SetWindowRgn(native(window), win32::nativeObject<HRGN>(region), redraw ? TRUE : FALSE);
}

WindowHandle GetDlgItem(WindowHandle dialog, int32_t id) {
    return portable(::GetDlgItem(native(dialog), id));
}

// Cut to the capacity at a character boundary, as GetDlgItemTextA does.
uint32_t GetDlgItemTextA(WindowHandle dialog, int32_t id, char* text, int32_t capacity) {
    if (text == nullptr || capacity <= 0) return 0;
    text[0] = '\0';
    HWND item = ::GetDlgItem(native(dialog), id);
    if (item == nullptr) return 0;
    const int length = ::GetWindowTextLengthW(item);
    std::wstring wide(static_cast<size_t>(std::max(length, 0)) + 1, L'\0');
    const int got = ::GetWindowTextW(item, wide.data(), static_cast<int>(wide.size()));
    wide.resize(static_cast<size_t>(std::max(got, 0)));
    std::string narrow = win32::programText(wide.c_str());
    size_t keep = 0;
    while (keep < narrow.size()) {
        const size_t next =
            keep +
            (::IsDBCSLeadByteEx(win32::kProgramCodePage, static_cast<BYTE>(narrow[keep])) ? 2 : 1);
        if (next > static_cast<size_t>(capacity) - 1 || next > narrow.size()) break;
        keep = next;
    }
    std::memcpy(text, narrow.data(), keep);
    text[keep] = '\0';
    return static_cast<uint32_t>(keep);
}

intptr_t SendMessageA(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    const LRESULT result = ::SendMessageW(native(window), message, wParam, lParam);
    win32::forgetKeyState();
    return result;
}

bool ReleaseCapture() { return ::ReleaseCapture() != FALSE; }

WindowHandle GetDesktopWindow() { return portable(::GetDesktopWindow()); }

bool IsIconic(WindowHandle window) { return ::IsIconic(native(window)) != FALSE; }

// --- messages ------------------------------------------------------------

bool PeekMessageA(Message* message, WindowHandle window, uint32_t filterMin, uint32_t filterMax,
                  uint32_t removeFlags) {
    if (message == nullptr) return false;
    MSG received{};
    const BOOL taken = ::PeekMessageW(&received, native(window), filterMin, filterMax, removeFlags);
    win32::forgetKeyState();
    if (taken == FALSE) return false;
    *message = portable(received);
    return true;
}

bool TranslateMessage(const Message* message) {
    if (message == nullptr) return false;
    const MSG record = native(*message);
    return ::TranslateMessage(&record) != FALSE;
}

intptr_t DispatchMessageA(const Message* message) {
    if (message == nullptr) return 0;
    const MSG record = native(*message);
    const LRESULT result = ::DispatchMessageW(&record);
    win32::forgetKeyState();
    return result;
}

void PostQuitMessage(int32_t exitCode) { ::PostQuitMessage(exitCode); }

// The system's timer ticks every 15.6 ms unless asked for finer steps; a
// shorter wait would otherwise last a whole tick or two.
uint32_t MsgWaitForMultipleObjects(uint32_t milliseconds, uint32_t wakeMask) {
    constexpr uint32_t kDefaultTick = 16;
    const bool fine = milliseconds != 0 && milliseconds <= 2 * kDefaultTick;
    if (fine) ::timeBeginPeriod(1);
    const DWORD result = ::MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds, wakeMask);
    if (fine) ::timeEndPeriod(1);
    return result;
}

uint64_t monotonicMicroseconds() {
    static const int64_t frequency = [] {
        LARGE_INTEGER value{};
        ::QueryPerformanceFrequency(&value);
        return value.QuadPart > 0 ? value.QuadPart : int64_t{1};
    }();
    LARGE_INTEGER now{};
    ::QueryPerformanceCounter(&now);
    const auto ticks = static_cast<uint64_t>(now.QuadPart);
    const auto perSecond = static_cast<uint64_t>(frequency);
    return ticks / perSecond * 1000000 + ticks % perSecond * 1000000 / perSecond;
}

}  // namespace platform
