// Device contexts: a window's client area (GetDC, BeginPaint), the screen
// (the desktop window's), and memory contexts holding a bitmap; copies
// between them with BitBlt and out of bitmaps with GetDIBits.
#include <algorithm>
#include <cstring>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/linux/control_look_linux.h"
#include "platform/linux/gdi_objects_linux.h"
#include "platform/linux/pixels_linux.h"
#include "platform/linux/unsupported_linux.h"
#include "platform/linux/window_record_linux.h"
#include "platform/linux/x11_display_linux.h"
#include "platform/window_system.h"
#include "platform/windows_values.h"

namespace platform {
namespace x11 {
namespace {

constexpr uint64_t kMostBitmapPixels = uint64_t{1} << 28;

struct ContextObject {
    bool memory = false;
    WindowHandle window = nullptr;  // a window's or the desktop's context
    GdiObject bitmap = nullptr;     // a memory context's bitmap
    GdiObject font = nullptr;
    GdiObject brush = nullptr;
};

uintptr_t nextContext = 0x30000;
std::unordered_map<DeviceContext, ContextObject> contexts;

DeviceContext addContext(ContextObject context) {
    const auto handle = reinterpret_cast<DeviceContext>(nextContext);
    nextContext += 0x10;
    contexts.emplace(handle, context);
    return handle;
}

// What a context draws on: a bitmap, or an X drawable whose client area
// starts at `origin` and has the size of `bounds` (client coordinates).
struct Surface {
    BitmapObject* bitmap = nullptr;
    ::Drawable drawable = None;
    Point origin;
    Rect bounds;
    bool viewable = false;
};

std::optional<Surface> surfaceOf(DeviceContext dc) {
    auto found = contexts.find(dc);
    if (found == contexts.end()) return std::nullopt;
    const ContextObject& context = found->second;
    Surface surface;
    if (context.memory) {
        surface.bitmap = gdiObjectAs<BitmapObject>(context.bitmap);
        if (surface.bitmap == nullptr) return std::nullopt;
        surface.bounds = {0, 0, surface.bitmap->width, surface.bitmap->height};
        return surface;
    }
    if (context.window == kDesktopWindow) {
        Display* connection = display();
        if (connection == nullptr) return std::nullopt;
        const int screen = DefaultScreen(connection);
        surface.drawable = RootWindow(connection, screen);
        surface.bounds = {0, 0, DisplayWidth(connection, screen),
                          DisplayHeight(connection, screen)};
        surface.viewable = true;
        return surface;
    }
    WindowObject* window = findWindow(context.window);
    if (window == nullptr || window->xwindow == None) return std::nullopt;
    surface.drawable = window->xwindow;
    surface.origin = clientInXWindow(*window);
    surface.bounds = clientRectOf(*window);
    surface.viewable = window->mapped && topLevelOf(*window).mapped;
    return surface;
}

// A copy of `width` x `height` from (sourceX, sourceY) to (x, y), cut to
// both surfaces.
struct Transfer {
    int32_t x, y, sourceX, sourceY, width, height;
};

bool clipTransfer(Transfer& t, const Rect& source, const Rect& destination) {
    const int32_t left = std::max(source.left - t.sourceX, destination.left - t.x);
    if (left > 0) {
        t.x += left;
        t.sourceX += left;
        t.width -= left;
    }
    const int32_t top = std::max(source.top - t.sourceY, destination.top - t.y);
    if (top > 0) {
        t.y += top;
        t.sourceY += top;
        t.height -= top;
    }
    t.width = std::min({t.width, source.right - t.sourceX, destination.right - t.x});
    t.height = std::min({t.height, source.bottom - t.sourceY, destination.bottom - t.y});
    return t.width > 0 && t.height > 0;
}

void copyBitmap(const BitmapObject& from, BitmapObject& to, const Transfer& t) {
    for (int32_t row = 0; row < t.height; ++row) {
        const uint32_t* source =
            from.pixels.data() +
            static_cast<size_t>(t.sourceY + row) * static_cast<size_t>(from.width) +
            static_cast<size_t>(t.sourceX);
        uint32_t* target = to.pixels.data() +
                           static_cast<size_t>(t.y + row) * static_cast<size_t>(to.width) +
                           static_cast<size_t>(t.x);
        std::memmove(target, source, static_cast<size_t>(t.width) * sizeof(uint32_t));
    }
}

bool transfer(const Surface& from, const Surface& to, const Transfer& t) {
    const Rect sourceArea{from.origin.x + t.sourceX, from.origin.y + t.sourceY,
                          from.origin.x + t.sourceX + t.width,
                          from.origin.y + t.sourceY + t.height};
    if (from.bitmap != nullptr && to.bitmap != nullptr) {
        copyBitmap(*from.bitmap, *to.bitmap, t);
    } else if (from.bitmap != nullptr) {
        putPixels(to.drawable, *from.bitmap,
                  {t.sourceX, t.sourceY, t.sourceX + t.width, t.sourceY + t.height},
                  {to.origin.x + t.x, to.origin.y + t.y});
    } else if (to.bitmap != nullptr) {
        // A window not on the screen has nothing to give: the bitmap stays.
        if (from.viewable) getPixels(from.drawable, sourceArea, *to.bitmap, {t.x, t.y});
    } else if (visualOf(from.drawable).depth == visualOf(to.drawable).depth) {
        XCopyArea(display(), from.drawable, to.drawable, sharedGc(to.drawable), sourceArea.left,
                  sourceArea.top, static_cast<unsigned>(t.width), static_cast<unsigned>(t.height),
                  to.origin.x + t.x, to.origin.y + t.y);
    } else if (from.viewable) {
        // X copies only between drawables of one depth: through our pixels.
        BitmapObject between{
            t.width, t.height,
            std::vector<uint32_t>(static_cast<size_t>(t.width) * static_cast<size_t>(t.height))};
        if (getPixels(from.drawable, sourceArea, between, {0, 0}))
            putPixels(to.drawable, between, {0, 0, t.width, t.height},
                      {to.origin.x + t.x, to.origin.y + t.y});
    }
    return true;
}

}  // namespace
}  // namespace x11

using x11::ContextObject;

DeviceContext BeginPaint(WindowHandle window, PaintRecord* paint) {
    x11::WindowObject* found = x11::findWindow(window);
    if (paint == nullptr || found == nullptr) return nullptr;
    ContextObject context;
    context.window = window;
    paint->dc = x11::addContext(context);
    paint->erase = 0;  // erased here with the class brush
    paint->paint = found->invalid;
    const Point origin = x11::clientInXWindow(*found);
    if (const auto* brush = x11::gdiObjectAs<x11::BrushObject>(found->background)) {
        const Rect& area = found->invalid;
        x11::fillArea(found->xwindow,
                      {origin.x + area.left, origin.y + area.top, origin.x + area.right,
                       origin.y + area.bottom},
                      brush->colour);
    }
    x11::drawWindowFrame(*found);
    found->needsPaint = false;
    found->invalid = {};
    return paint->dc;
}

bool EndPaint(WindowHandle, const PaintRecord* paint) {
    return paint != nullptr && x11::contexts.erase(paint->dc) != 0;
}

DeviceContext GetDC(WindowHandle window) {
    if (window != nullptr && window != x11::kDesktopWindow && x11::findWindow(window) == nullptr)
        return nullptr;
    ContextObject context;
    context.window = window == nullptr ? x11::kDesktopWindow : window;
    return x11::addContext(context);
}

int32_t ReleaseDC(WindowHandle, DeviceContext dc) { return x11::contexts.erase(dc) != 0 ? 1 : 0; }

DeviceContext CreateCompatibleDC(DeviceContext) {
    ContextObject context;
    context.memory = true;
    return x11::addContext(context);
}

// Always a colour bitmap (a memory context's would be monochrome on Windows;
// the program asks with a window's), black as a new one is.
GdiObject CreateCompatibleBitmap(DeviceContext, int32_t width, int32_t height) {
    x11::BitmapObject bitmap;
    bitmap.width = std::max(width, 1);
    bitmap.height = std::max(height, 1);
    const uint64_t count =
        static_cast<uint64_t>(bitmap.width) * static_cast<uint64_t>(bitmap.height);
    if (count > x11::kMostBitmapPixels) return nullptr;
    bitmap.pixels.assign(static_cast<size_t>(count), 0);
    return x11::addGdiObject(std::move(bitmap));
}

GdiObject SelectObject(DeviceContext dc, GdiObject object) {
    auto found = x11::contexts.find(dc);
    x11::GdiRecord* record = x11::findGdiObject(object);
    if (found == x11::contexts.end() || record == nullptr) return nullptr;
    ContextObject& context = found->second;
    GdiObject* slot = nullptr;
    if (std::holds_alternative<x11::BitmapObject>(*record)) {
        if (!context.memory) return nullptr;
        slot = &context.bitmap;
    } else if (std::holds_alternative<x11::FontObject>(*record)) {
        slot = &context.font;
    } else if (std::holds_alternative<x11::BrushObject>(*record)) {
        slot = &context.brush;
    } else {
        return nullptr;
    }
    return std::exchange(*slot, object);
}

bool BitBlt(DeviceContext destination, int32_t x, int32_t y, int32_t width, int32_t height,
            DeviceContext source, int32_t sourceX, int32_t sourceY, uint32_t rasterOp) {
    if (!x11::supportedOrReported(isListed(kListedRasterOperations, rasterOp), "BitBlt",
                                  "raster operation", rasterOp))
        return false;
    const auto to = x11::surfaceOf(destination);
    const auto from = x11::surfaceOf(source);
    if (!to || !from) return false;
    x11::Transfer t{x, y, sourceX, sourceY, width, height};
    if (!x11::clipTransfer(t, from->bounds, to->bounds)) return true;  // nothing to copy
    return x11::transfer(*from, *to, t);
}

bool DeleteDC(DeviceContext dc) { return x11::contexts.erase(dc) != 0; }

// 24- or 32-bit rows (blue, green, red), bottom-up for a positive height, as
// many rows as asked for from `startScan` on.
int32_t GetDIBits(DeviceContext, GdiObject bitmap, uint32_t startScan, uint32_t scanLines,
                  void* bits, BitmapInfo* info, uint32_t) {
    const auto* found = x11::gdiObjectAs<x11::BitmapObject>(bitmap);
    if (found == nullptr || info == nullptr) return 0;
    BitmapInfoHeader& header = info->header;
    if (bits == nullptr) {  // only the description is asked for
        header.width = found->width;
        header.height = found->height;
        header.planes = 1;
        header.bitCount = 32;
        header.compression = BI_RGB;
        header.sizeImage =
            static_cast<uint32_t>(found->width) * static_cast<uint32_t>(found->height) * 4;
        return found->height;
    }
    if ((header.bitCount != 32 && header.bitCount != 24) || header.compression != BI_RGB ||
        header.width <= 0 || header.height == 0)
        return 0;
    const bool bottomUp = header.height > 0;
    const int64_t rows = bottomUp ? header.height : -int64_t{header.height};
    const size_t bytesPerPixel = header.bitCount / 8;
    const size_t stride = (static_cast<size_t>(header.width) * bytesPerPixel + 3) / 4 * 4;
    const int64_t count =
        std::clamp<int64_t>(int64_t{scanLines}, 0, std::max<int64_t>(rows - startScan, 0));
    auto* out = static_cast<uint8_t*>(bits);
    for (int64_t line = 0; line < count; ++line) {
        const int64_t scan = int64_t{startScan} + line;
        const int64_t fromTop = bottomUp ? rows - 1 - scan : scan;
        uint8_t* row = out + static_cast<size_t>(line) * stride;
        std::memset(row, 0, stride);
        if (fromTop >= found->height) continue;
        const uint32_t* pixels =
            found->pixels.data() + static_cast<size_t>(fromTop) * static_cast<size_t>(found->width);
        for (int32_t column = 0; column < header.width && column < found->width; ++column) {
            const uint32_t pixel = pixels[column];
            uint8_t* at = row + static_cast<size_t>(column) * bytesPerPixel;
            at[0] = static_cast<uint8_t>(pixel);
            at[1] = static_cast<uint8_t>(pixel >> 8);
            at[2] = static_cast<uint8_t>(pixel >> 16);
        }
    }
    header.sizeImage = static_cast<uint32_t>(stride * static_cast<size_t>(rows));
    return static_cast<int32_t>(count);
}

}  // namespace platform
