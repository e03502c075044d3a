// The grab of a screen rectangle as 24-bit bottom-up rows.
#include <cstdint>

#include "platform/win32/native_win32.h"
#include "platform/window_system.h"

namespace platform {

uint32_t grabScreen(const Rect& area, uint8_t* pixels, size_t size) {
    const int64_t width = int64_t{area.right} - area.left;
    const int64_t height = int64_t{area.bottom} - area.top;
    if (pixels == nullptr || width <= 0 || height <= 0) return 0;
    const uint64_t stride = (static_cast<uint64_t>(width) * 3 + 3) / 4 * 4;
    const uint64_t bytes = stride * static_cast<uint64_t>(height);
    // GetDIBits writes every row in full: refuse what does not fit.
    if (bytes > size || bytes > UINT32_MAX) return 0;
    const int w = static_cast<int>(width);
    const int h = static_cast<int>(height);

    HWND desktop = ::GetDesktopWindow();
    HDC screen = ::GetDC(desktop);
    if (screen == nullptr) return 0;
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = memory != nullptr ? ::CreateCompatibleBitmap(screen, w, h) : nullptr;
    bool copied = false;
    if (bitmap != nullptr) {
        HGDIOBJ previous = ::SelectObject(memory, bitmap);
        if (previous != nullptr && previous != HGDI_ERROR) {
            copied = ::BitBlt(memory, 0, 0, w, h, screen, area.left, area.top, SRCCOPY) != FALSE;
            // GetDIBits wants the bitmap out of every device context.
            ::SelectObject(memory, previous);
        }
    }
    if (copied) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = h;  // positive: bottom-up rows
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = BI_RGB;
        copied = ::GetDIBits(memory, bitmap, 0, static_cast<UINT>(h), pixels, &info,
                             DIB_RGB_COLORS) == h;
    }
    if (bitmap != nullptr) ::DeleteObject(bitmap);
    if (memory != nullptr) ::DeleteDC(memory);
    ::ReleaseDC(desktop, screen);
    return copied ? static_cast<uint32_t>(bytes) : 0;
}

}  // namespace platform
