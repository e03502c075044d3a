// Portable types that cross the platform layer. Nothing here depends on a
// particular window system: handles are opaque pointers, records are our own.
#pragma once

#include <cstdint>

namespace platform {

// Opaque handles. A backend casts its native handles to and from these.
using WindowHandle = struct WindowTag*;
using InstanceHandle = struct InstanceTag*;
using IconHandle = struct IconTag*;
using CursorHandle = struct CursorTag*;
using DeviceContext = struct DeviceContextTag*;
using GdiObject = struct GdiObjectTag*;  // font, brush, bitmap or region
using FileHandle = struct FileTag*;

// A window procedure: window, message, wParam, lParam; a pointer-sized result.
using WindowProc = intptr_t (*)(WindowHandle, uint32_t, uintptr_t, intptr_t);

struct Point {
    int32_t x = 0;
    int32_t y = 0;
};

// Right and bottom are exclusive, as in GDI.
struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

struct Message {
    WindowHandle window = nullptr;
    uint32_t message = 0;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
    uint32_t time = 0;
    Point point;
};

// The members of a window class record, in the order Windows declares them.
struct WindowClass {
    uint32_t size = 0;
    uint32_t style = 0;
    WindowProc procedure = nullptr;
    int32_t classExtra = 0;
    int32_t windowExtra = 0;
    InstanceHandle instance = nullptr;
    IconHandle icon = nullptr;
    CursorHandle cursor = nullptr;
    GdiObject background = nullptr;
    const char* menuName = nullptr;
    const char* className = nullptr;
    IconHandle smallIcon = nullptr;
};

// What BeginPaint fills in.
struct PaintRecord {
    DeviceContext dc = nullptr;
    int32_t erase = 0;
    Rect paint;
};

// What GetObject reports for a bitmap.
struct BitmapRecord {
    int32_t type = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t widthBytes = 0;
    uint16_t planes = 0;
    uint16_t bitsPerPixel = 0;
};

// The 40-byte header that describes a device-independent bitmap.
struct BitmapInfoHeader {
    uint32_t size = 0;
    int32_t width = 0;
    int32_t height = 0;
    uint16_t planes = 0;
    uint16_t bitCount = 0;
    uint32_t compression = 0;
    uint32_t sizeImage = 0;
    int32_t xPelsPerMeter = 0;
    int32_t yPelsPerMeter = 0;
    uint32_t clrUsed = 0;
    uint32_t clrImportant = 0;
};

// A bitmap header followed by a colour table of 256 entries.
struct BitmapInfo {
    BitmapInfoHeader header;
    uint32_t colours[256] = {};
};

struct Guid {
    uint32_t data1 = 0;
    uint16_t data2 = 0;
    uint16_t data3 = 0;
    uint8_t data4[8] = {};
    friend bool operator==(const Guid&, const Guid&) = default;
};

}  // namespace platform
