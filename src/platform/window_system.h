// The window-system operations the program calls: windows and their messages,
// key state, GDI objects and device contexts, regions, files and the process.
// One backend implements all of them (win32/ on Windows; the tests link a
// recording fake). Arguments and results keep the meaning of the Win32 call of
// the same name; the values the program passes are chosen by its callers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "platform/types.h"

namespace platform {

inline const FileHandle kInvalidFile = reinterpret_cast<FileHandle>(intptr_t{-1});

// --- process and module --------------------------------------------------
InstanceHandle GetModuleHandleA(const char* moduleName);
[[noreturn]] void ExitProcess(uint32_t exitCode);
int32_t MessageBoxA(WindowHandle owner, const char* text, const char* caption, uint32_t style);
// The record's size and class flags, as in INITCOMMONCONTROLSEX.
bool InitCommonControlsEx(uint32_t recordSize, uint32_t classes);

// --- window classes and windows ------------------------------------------
IconHandle LoadIconA(InstanceHandle instance, uintptr_t resourceId);
CursorHandle LoadCursorA(InstanceHandle instance, uintptr_t resourceId);
uint32_t GetSysColor(int32_t index);
uint16_t RegisterClassExA(const WindowClass* windowClass);
// `menuOrId` is the menu of a top-level window or the id of a child window.
WindowHandle CreateWindowExA(uint32_t exStyle, const char* className, const char* title,
                             uint32_t style, int32_t x, int32_t y, int32_t width, int32_t height,
                             WindowHandle parent, uintptr_t menuOrId, InstanceHandle instance,
                             void* creationData);
intptr_t DefWindowProcA(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);
bool DestroyWindow(WindowHandle window);
bool MoveWindow(WindowHandle window, int32_t x, int32_t y, int32_t width, int32_t height,
                bool repaint);
// `insertAfter` carries the special values as well (-1 is "topmost").
bool SetWindowPos(WindowHandle window, intptr_t insertAfter, int32_t x, int32_t y, int32_t width,
                  int32_t height, uint32_t flags);
bool GetWindowRect(WindowHandle window, Rect* rect);
bool GetClientRect(WindowHandle window, Rect* rect);
bool ClientToScreen(WindowHandle window, Point* point);
// The system owns `region` once this succeeds.
int32_t SetWindowRgn(WindowHandle window, GdiObject region, bool redraw);
WindowHandle GetDlgItem(WindowHandle dialog, int32_t id);
uint32_t GetDlgItemTextA(WindowHandle dialog, int32_t id, char* text, int32_t capacity);
intptr_t SendMessageA(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);
bool ReleaseCapture();
WindowHandle GetDesktopWindow();
int32_t GetSystemMetrics(int32_t index);
bool IsIconic(WindowHandle window);

// Calls `visit` with each monitor's rectangle in screen coordinates (the
// primary monitor's top-left corner is (0, 0); the others may lie at negative
// coordinates, with gaps between them) until it returns false. False when the
// monitors cannot be told.
using MonitorVisitor = bool (*)(const Rect& monitor, void* context);
bool EnumDisplayMonitors(MonitorVisitor visit, void* context);

// --- messages ------------------------------------------------------------
bool PeekMessageA(Message* message, WindowHandle window, uint32_t filterMin, uint32_t filterMax,
                  uint32_t removeFlags);
bool TranslateMessage(const Message* message);
intptr_t DispatchMessageA(const Message* message);
void PostQuitMessage(int32_t exitCode);
// Waits until input of a kind in `wakeMask` (QS_* flags) arrives in the
// thread's queue, or `milliseconds` pass: MsgWaitForMultipleObjects with no
// objects to wait for. 0 when input came, 258 (WAIT_TIMEOUT) when the time
// ran out.
uint32_t MsgWaitForMultipleObjects(uint32_t milliseconds, uint32_t wakeMask);
// A clock that only goes forward, in microseconds from an unspecified start.
uint64_t monotonicMicroseconds();

// --- keyboard ------------------------------------------------------------
int16_t GetKeyState(int32_t virtualKey);
int16_t GetAsyncKeyState(int32_t virtualKey);

// --- GDI -----------------------------------------------------------------
GdiObject CreateFontA(int32_t height, int32_t width, int32_t escapement, int32_t orientation,
                      int32_t weight, uint32_t italic, uint32_t underline, uint32_t strikeOut,
                      uint32_t charSet, uint32_t outPrecision, uint32_t clipPrecision,
                      uint32_t quality, uint32_t pitchAndFamily, const char* faceName);
GdiObject CreateSolidBrush(uint32_t colour);
bool DeleteObject(GdiObject object);
GdiObject LoadImageA(InstanceHandle instance, const char* name, uint32_t type, int32_t width,
                     int32_t height, uint32_t flags);
// Fills `bitmap` from a bitmap object; returns the bytes stored, 0 on failure.
int32_t GetObjectA(GdiObject object, int32_t size, BitmapRecord* bitmap);
DeviceContext BeginPaint(WindowHandle window, PaintRecord* paint);
bool EndPaint(WindowHandle window, const PaintRecord* paint);
DeviceContext GetDC(WindowHandle window);
int32_t ReleaseDC(WindowHandle window, DeviceContext dc);
DeviceContext CreateCompatibleDC(DeviceContext dc);
GdiObject CreateCompatibleBitmap(DeviceContext dc, int32_t width, int32_t height);
GdiObject SelectObject(DeviceContext dc, GdiObject object);
bool BitBlt(DeviceContext destination, int32_t x, int32_t y, int32_t width, int32_t height,
            DeviceContext source, int32_t sourceX, int32_t sourceY, uint32_t rasterOp);
bool DeleteDC(DeviceContext dc);
int32_t GetDIBits(DeviceContext dc, GdiObject bitmap, uint32_t startScan, uint32_t scanLines,
                  void* bits, BitmapInfo* info, uint32_t usage);
GdiObject CreateRectRgn(int32_t left, int32_t top, int32_t right, int32_t bottom);
int32_t CombineRgn(GdiObject destination, GdiObject source1, GdiObject source2, int32_t mode);

// Copies the screen rectangle `area`, which lies wholly on one monitor, into
// `pixels` as 24-bit rows (blue, green, red), bottom-up, each row padded with
// zeros to a multiple of 4 bytes. `size` is the capacity of `pixels`; nothing
// is written past it. Returns the number of image bytes written, 0 on failure.
uint32_t grabScreen(const Rect& area, uint8_t* pixels, size_t size);

// A line the status text shows for the system, in code page 932: what the
// user must know, such as that the screen cannot be grabbed here. Empty while
// there is none.
const char* statusNotice();

// The rows grabScreen writes for `area`: the pixel size, the padded row
// length and the whole size in bytes; nothing for an empty area or one whose
// rows do not fit in `size` bytes (or in 32 bits).
struct GrabLayout {
    int32_t width = 0;
    int32_t height = 0;
    uint64_t stride = 0;
    uint32_t bytes = 0;
};
inline std::optional<GrabLayout> grabLayout(const Rect& area, size_t size) {
    const int64_t width = int64_t{area.right} - area.left;
    const int64_t height = int64_t{area.bottom} - area.top;
    if (width <= 0 || height <= 0) return std::nullopt;
    const uint64_t stride = (static_cast<uint64_t>(width) * 3 + 3) / 4 * 4;
    const uint64_t bytes = stride * static_cast<uint64_t>(height);
    if (bytes > size || bytes > UINT32_MAX) return std::nullopt;
    return GrabLayout{static_cast<int32_t>(width), static_cast<int32_t>(height), stride,
                      static_cast<uint32_t>(bytes)};
}

// --- files ---------------------------------------------------------------
// Returns kInvalidFile when the file cannot be opened. Security attributes,
// overlapped records and templates are not offered: the program passes none.
FileHandle CreateFileA(const char* name, uint32_t access, uint32_t shareMode, uint32_t disposition,
                       uint32_t attributes);
bool WriteFile(FileHandle file, const void* data, uint32_t size, uint32_t* written);
bool CloseHandle(FileHandle file);

}  // namespace platform
