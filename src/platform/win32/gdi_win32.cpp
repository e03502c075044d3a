// GDI: fonts, brushes, bitmaps, device contexts, painting and regions.
#include <cstring>
#include <vector>

#include "platform/win32/native_win32.h"
#include "platform/win32/records_win32.h"
#include "platform/win32/text_win32.h"
#include "platform/window_system.h"

namespace platform {

using win32::native;
using win32::nativeObject;
using win32::portable;
using win32::portableObject;

namespace {

// The native paint records between BeginPaint and EndPaint, one per window:
// EndPaint gets back the very record BeginPaint filled, reserved members
// included, which our PaintRecord does not carry.
struct OpenPaint {
    HWND window;
    PAINTSTRUCT record;
};
std::vector<OpenPaint> openPaints;

// A bitmap header with room for the largest colour table.
struct NativeBitmapInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
};
static_assert(sizeof(NativeBitmapInfo::colours) == sizeof(BitmapInfo::colours));

void copyHeader(const BitmapInfoHeader& from, BITMAPINFOHEADER& to) {
    to.biSize = from.size;
    to.biWidth = from.width;
    to.biHeight = from.height;
    to.biPlanes = from.planes;
    to.biBitCount = from.bitCount;
    to.biCompression = from.compression;
    to.biSizeImage = from.sizeImage;
    to.biXPelsPerMeter = from.xPelsPerMeter;
    to.biYPelsPerMeter = from.yPelsPerMeter;
    to.biClrUsed = from.clrUsed;
    to.biClrImportant = from.clrImportant;
}

void copyHeader(const BITMAPINFOHEADER& from, BitmapInfoHeader& to) {
    to.size = from.biSize;
    to.width = from.biWidth;
    to.height = from.biHeight;
    to.planes = from.biPlanes;
    to.bitCount = from.biBitCount;
    to.compression = from.biCompression;
    to.sizeImage = from.biSizeImage;
    to.xPelsPerMeter = from.biXPelsPerMeter;
    to.yPelsPerMeter = from.biYPelsPerMeter;
    to.clrUsed = from.biClrUsed;
    to.clrImportant = from.biClrImportant;
}

}  // namespace

GdiObject CreateFontA(int32_t height, int32_t width, int32_t escapement, int32_t orientation,
                      int32_t weight, uint32_t italic, uint32_t underline, uint32_t strikeOut,
                      uint32_t charSet, uint32_t outPrecision, uint32_t clipPrecision,
                      uint32_t quality, uint32_t pitchAndFamily, const char* faceName) {
    return portableObject(::CreateFontW(
        height, width, escapement, orientation, weight, italic, underline, strikeOut, charSet,
        outPrecision, clipPrecision, quality, pitchAndFamily, win32::WideText(faceName).c_str()));
}

GdiObject CreateSolidBrush(uint32_t colour) { return portableObject(::CreateSolidBrush(colour)); }

bool DeleteObject(GdiObject object) { return ::DeleteObject(native(object)) != FALSE; }

GdiObject LoadImageA(InstanceHandle instance, const char* name, uint32_t type, int32_t width,
                     int32_t height, uint32_t flags) {
    // Only files are loaded (no resources), so the name is always a text.
    return portableObject(
        ::LoadImageW(native(instance), win32::WideText(name).c_str(), type, width, height, flags));
}

// Nothing is written unless the caller's record has room for all of it.
int32_t GetObjectA(GdiObject object, int32_t size, BitmapRecord* bitmap) {
    if (bitmap == nullptr || size < static_cast<int32_t>(sizeof(BitmapRecord))) return 0;
    BITMAP record{};
    if (::GetObjectW(native(object), sizeof record, &record) == 0) return 0;
    bitmap->type = record.bmType;
    bitmap->width = record.bmWidth;
    bitmap->height = record.bmHeight;
    bitmap->widthBytes = record.bmWidthBytes;
    bitmap->planes = record.bmPlanes;
    bitmap->bitsPerPixel = record.bmBitsPixel;
    return static_cast<int32_t>(sizeof(BitmapRecord));
}

DeviceContext BeginPaint(WindowHandle window, PaintRecord* paint) {
    if (paint == nullptr) return nullptr;
    PAINTSTRUCT record{};
    HDC dc = ::BeginPaint(native(window), &record);
    if (dc == nullptr) return nullptr;
    paint->dc = portable(record.hdc);
    paint->erase = record.fErase;
    paint->paint = portable(record.rcPaint);
    for (OpenPaint& open : openPaints) {
        if (open.window == native(window)) {
            open.record = record;
            return portable(dc);
        }
    }
    openPaints.push_back({native(window), record});
    return portable(dc);
}

bool EndPaint(WindowHandle window, const PaintRecord* paint) {
    if (paint == nullptr) return false;
    PAINTSTRUCT record{};
    record.hdc = native(paint->dc);
    record.fErase = paint->erase;
    record.rcPaint = native(paint->paint);
    for (auto open = openPaints.begin(); open != openPaints.end(); ++open) {
        if (open->window == native(window) && open->record.hdc == record.hdc) {
            record = open->record;
            openPaints.erase(open);
            break;
        }
    }
    return ::EndPaint(native(window), &record) != FALSE;
}

DeviceContext GetDC(WindowHandle window) { return portable(::GetDC(native(window))); }

int32_t ReleaseDC(WindowHandle window, DeviceContext dc) {
    return ::ReleaseDC(native(window), native(dc));
}

DeviceContext CreateCompatibleDC(DeviceContext dc) {
    return portable(::CreateCompatibleDC(native(dc)));
}

GdiObject CreateCompatibleBitmap(DeviceContext dc, int32_t width, int32_t height) {
    return portableObject(::CreateCompatibleBitmap(native(dc), width, height));
}

GdiObject SelectObject(DeviceContext dc, GdiObject object) {
    return portableObject(::SelectObject(native(dc), native(object)));
}

bool BitBlt(DeviceContext destination, int32_t x, int32_t y, int32_t width, int32_t height,
            DeviceContext source, int32_t sourceX, int32_t sourceY, uint32_t rasterOp) {
    return ::BitBlt(native(destination), x, y, width, height, native(source), sourceX, sourceY,
                    rasterOp) != FALSE;
}

bool DeleteDC(DeviceContext dc) { return ::DeleteDC(native(dc)) != FALSE; }

int32_t GetDIBits(DeviceContext dc, GdiObject bitmap, uint32_t startScan, uint32_t scanLines,
                  void* bits, BitmapInfo* info, uint32_t usage) {
    if (info == nullptr) {
        return ::GetDIBits(native(dc), nativeObject<HBITMAP>(bitmap), startScan, scanLines, bits,
                           nullptr, usage);
    }
    NativeBitmapInfo record{};
    copyHeader(info->header, record.header);
    std::memcpy(record.colours, info->colours, sizeof record.colours);
    const int result = ::GetDIBits(native(dc), nativeObject<HBITMAP>(bitmap), startScan, scanLines,
                                   bits, reinterpret_cast<BITMAPINFO*>(&record), usage);
    copyHeader(record.header, info->header);
    std::memcpy(info->colours, record.colours, sizeof record.colours);
    return result;
}

GdiObject CreateRectRgn(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    return portableObject(::CreateRectRgn(left, top, right, bottom));
}

int32_t CombineRgn(GdiObject destination, GdiObject source1, GdiObject source2, int32_t mode) {
    return ::CombineRgn(nativeObject<HRGN>(destination), nativeObject<HRGN>(source1),
                        nativeObject<HRGN>(source2), mode);
}

}  // namespace platform
