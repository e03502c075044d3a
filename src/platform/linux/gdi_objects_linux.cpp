// GDI objects: fonts, brushes, bitmaps loaded from BMP files, and regions
// (Xlib's own region arithmetic).
#include "platform/linux/gdi_objects_linux.h"

#include <algorithm>
#include <climits>
#include <string>
#include <unordered_map>

#include "platform/d3dx/files.h"
#include "platform/d3dx/image/image.h"
#include "platform/linux/fonts_linux.h"
#include "platform/linux/text_linux.h"
#include "platform/linux/unsupported_linux.h"
#include "platform/linux/window_record_linux.h"
#include "platform/linux/x11_display_linux.h"
#include "platform/window_system.h"

namespace platform {
namespace x11 {
namespace {

constexpr size_t kMostBitmapFileBytes = size_t{1} << 28;

uintptr_t nextObject = 0x20000;
std::unordered_map<GdiObject, GdiRecord> objects;

short toShort(int64_t value) {
    return static_cast<short>(std::clamp<int64_t>(value, SHRT_MIN, SHRT_MAX));
}

OwnedRegion rectangleRegion(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    OwnedRegion region(XCreateRegion());
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    const short x = toShort(left);
    const short y = toShort(top);
    const int64_t width = std::clamp<int64_t>(int64_t{right} - x, 0, USHRT_MAX);
    const int64_t height = std::clamp<int64_t>(int64_t{bottom} - y, 0, USHRT_MAX);
    if (region != nullptr && width > 0 && height > 0) {
        XRectangle rectangle{x, y, static_cast<unsigned short>(width),
                             static_cast<unsigned short>(height)};
        XUnionRectWithRegion(&rectangle, region.get(), region.get());
    }
    return region;
}

int32_t regionKind(::Region region) {
    if (XEmptyRegion(region)) return NULLREGION;
    XRectangle box{};
    XClipBox(region, &box);
    // A region that holds its whole bounding box is that one rectangle.
    return XRectInRegion(region, box.x, box.y, box.width, box.height) == RectangleIn
               ? SIMPLEREGION
               : COMPLEXREGION;
}

// The combination in a new region, so that the destination may also be a
// source.
OwnedRegion combined(::Region first, ::Region second, int32_t mode) {
    OwnedRegion result(XCreateRegion());
    if (result == nullptr) return result;
    switch (mode) {
        case RGN_AND:
            XIntersectRegion(first, second, result.get());
            break;
        case RGN_OR:
            XUnionRegion(first, second, result.get());
            break;
        case RGN_XOR:
            XXorRegion(first, second, result.get());
            break;
        case RGN_DIFF:
            XSubtractRegion(first, second, result.get());
            break;
        default:
            return nullptr;
    }
    return result;
}

}  // namespace

void XftFontCloser::operator()(XftFont* font) const {
    if (font != nullptr && display() != nullptr) XftFontClose(display(), font);
}

GdiObject addGdiObject(GdiRecord record) {
    const auto handle = reinterpret_cast<GdiObject>(nextObject);
    nextObject += 0x10;
    objects.emplace(handle, std::move(record));
    return handle;
}

GdiRecord* findGdiObject(GdiObject object) {
    auto found = objects.find(object);
    return found == objects.end() ? nullptr : &found->second;
}

OwnedRegion takeRegion(GdiObject object) {
    auto* region = gdiObjectAs<RegionObject>(object);
    if (region == nullptr) return nullptr;
    OwnedRegion taken = std::move(region->region);
    objects.erase(object);
    return taken;
}

XftFont* fontOrDefault(GdiObject object) {
    if (auto* font = gdiObjectAs<FontObject>(object)) {
        if (font->opened == nullptr) font->opened.reset(openFont(*font));
        if (font->opened != nullptr) return font->opened.get();
    }
    return defaultControlFont();
}

uint32_t systemColour(int32_t index) {
    switch (index) {
        case COLOR_WINDOW:
        case COLOR_BTNHIGHLIGHT:
        case COLOR_HIGHLIGHTTEXT:
            return 0xFFFFFF;
        case COLOR_HIGHLIGHT:
            return 0xD77800;
        case COLOR_WINDOWTEXT:
        case COLOR_BTNTEXT:
        case COLOR_CAPTIONTEXT:
            return 0x000000;
        case COLOR_ACTIVECAPTION:
            return 0xD1B499;
        case COLOR_BTNSHADOW:
            return 0xA0A0A0;
        case COLOR_3DDKSHADOW:
            return 0x696969;
        case COLOR_3DLIGHT:
            return 0xE3E3E3;
        case COLOR_BTNFACE:
        default:
            return 0xF0F0F0;
    }
}

}  // namespace x11

using x11::gdiObjectAs;

uint32_t GetSysColor(int32_t index) {
    x11::supportedOrReported(isListed(kListedSystemColours, index), "GetSysColor", "index",
                             static_cast<uint32_t>(index));
    return x11::systemColour(index);
}

GdiObject CreateFontA(int32_t height, int32_t, int32_t, int32_t, int32_t weight, uint32_t italic,
                      uint32_t, uint32_t, uint32_t charSet, uint32_t, uint32_t, uint32_t quality,
                      uint32_t pitchAndFamily, const char* faceName) {
    x11::FontObject font;
    font.height = height;
    font.weight = weight;
    font.italic = italic != 0;
    font.charSet = charSet;
    font.pitchAndFamily = static_cast<uint8_t>(pitchAndFamily);
    font.antialiased = quality != NONANTIALIASED_QUALITY;
    if (faceName != nullptr) font.face = x11::utf8FromCp932(faceName).value_or("");
    return x11::addGdiObject(std::move(font));
}

GdiObject CreateSolidBrush(uint32_t colour) {
    return x11::addGdiObject(x11::BrushObject{colour & 0xFFFFFF});
}

bool DeleteObject(GdiObject object) { return x11::objects.erase(object) != 0; }

// Bitmap files only (no resources), as the program loads them.
GdiObject LoadImageA(InstanceHandle, const char* name, uint32_t type, int32_t width, int32_t height,
                     uint32_t flags) {
    x11::supportedOrReported(type == IMAGE_BITMAP, "LoadImageA", "image type", type);
    x11::supportedOrReported(
        onlyListedFlags(kListedLoadFlags, flags) && (flags & LR_LOADFROMFILE) != 0, "LoadImageA",
        "flags", flags);
    if (name == nullptr || type != IMAGE_BITMAP || (flags & LR_LOADFROMFILE) == 0) return nullptr;
    std::vector<uint8_t> bytes;
    if (!d3dx::readWholeFile(name, d3dx::NameEncoding::cp932, x11::kMostBitmapFileBytes, bytes))
        return nullptr;
    image::Image picture;
    std::string error;
    if (!image::decodeBmp(bytes, picture, error)) return nullptr;
    if ((width > 0 && static_cast<uint32_t>(width) != picture.width) ||
        (height > 0 && static_cast<uint32_t>(height) != picture.height)) {
        picture = image::resized(picture, width > 0 ? static_cast<uint32_t>(width) : picture.width,
                                 height > 0 ? static_cast<uint32_t>(height) : picture.height);
    }
    x11::BitmapObject bitmap;
    bitmap.width = static_cast<int32_t>(picture.width);
    bitmap.height = static_cast<int32_t>(picture.height);
    bitmap.pixels = std::move(picture.pixels);
    for (uint32_t& pixel : bitmap.pixels) pixel &= 0xFFFFFF;
    return x11::addGdiObject(std::move(bitmap));
}

// A bitmap as a 32-bit device bitmap reports itself.
int32_t GetObjectA(GdiObject object, int32_t size, BitmapRecord* bitmap) {
    const auto* found = gdiObjectAs<x11::BitmapObject>(object);
    if (found == nullptr || bitmap == nullptr || size < static_cast<int32_t>(sizeof *bitmap))
        return 0;
    *bitmap = {};
    bitmap->width = found->width;
    bitmap->height = found->height;
    bitmap->widthBytes = found->width * 4;
    bitmap->planes = 1;
    bitmap->bitsPerPixel = 32;
    return static_cast<int32_t>(sizeof *bitmap);
}

GdiObject CreateRectRgn(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    x11::OwnedRegion region = x11::rectangleRegion(left, top, right, bottom);
    if (region == nullptr) return nullptr;
    return x11::addGdiObject(x11::RegionObject{std::move(region)});
}

int32_t CombineRgn(GdiObject destination, GdiObject source1, GdiObject source2, int32_t mode) {
    auto* target = gdiObjectAs<x11::RegionObject>(destination);
    const auto* first = gdiObjectAs<x11::RegionObject>(source1);
    if (!x11::supportedOrReported(isListed(kListedRegionModes, mode), "CombineRgn", "mode",
                                  static_cast<uint32_t>(mode)))
        return RGN_ERROR;
    if (target == nullptr || first == nullptr) return RGN_ERROR;
    x11::OwnedRegion result;
    if (mode == RGN_COPY) {
        x11::OwnedRegion empty(XCreateRegion());
        if (empty != nullptr) result = x11::combined(first->region.get(), empty.get(), RGN_OR);
    } else {
        const auto* second = gdiObjectAs<x11::RegionObject>(source2);
        if (second == nullptr) return RGN_ERROR;
        result = x11::combined(first->region.get(), second->region.get(), mode);
    }
    if (result == nullptr) return RGN_ERROR;
    target->region = std::move(result);
    return x11::regionKind(target->region.get());
}

}  // namespace platform
