// The GDI objects the program makes (fonts, brushes, bitmaps, regions), kept
// by handle. A handle is looked up at every use, so one deleted while a
// control or a device context still names it is simply no longer found.
#pragma once

#include <X11/Xft/Xft.h>

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "platform/linux/window_record_linux.h"
#include "platform/types.h"
#include "platform/windows_values.h"

namespace platform::x11 {

struct XftFontCloser {
    void operator()(XftFont* font) const;
};

struct FontObject {
    int32_t height = 0;  // as CreateFont takes it: negative for the character height
    int32_t weight = 400;
    bool italic = false;
    uint32_t charSet = 0;
    uint8_t pitchAndFamily = 0;  // LOGFONT's lfPitchAndFamily
    bool antialiased = true;
    std::string face;                                // UTF-8
    std::unique_ptr<XftFont, XftFontCloser> opened;  // on first use
};

struct BrushObject {
    uint32_t colour = 0;  // COLORREF: red in the low byte
};

// Pixels 0x00RRGGBB, rows top-down.
struct BitmapObject {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;
};

struct RegionObject {
    OwnedRegion region;
};

using GdiRecord = std::variant<FontObject, BrushObject, BitmapObject, RegionObject>;

GdiObject addGdiObject(GdiRecord record);
GdiRecord* findGdiObject(GdiObject object);

template <class T>
T* gdiObjectAs(GdiObject object) {
    GdiRecord* record = findGdiObject(object);
    return record == nullptr ? nullptr : std::get_if<T>(record);
}

// Takes a region object out of the table: its region now belongs to the
// caller. Null when the handle names no region.
OwnedRegion takeRegion(GdiObject object);

// The system colours (GetSysColor's indices), COLORREF, as a classic Windows
// desktop has them.
uint32_t systemColour(int32_t index);

// The opened font of a font object; the default control font when the
// handle names no font or its font cannot be opened.
XftFont* fontOrDefault(GdiObject object);

}  // namespace platform::x11
