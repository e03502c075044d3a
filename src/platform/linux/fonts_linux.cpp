#include "platform/linux/fonts_linux.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>

#include "platform/linux/x11_windows.h"

namespace platform::x11 {
namespace {

constexpr uint32_t kShiftJisCharSet = 128;
constexpr uint32_t kHangulCharSet = 129;
constexpr uint32_t kGb2312CharSet = 134;
constexpr uint32_t kChineseBig5CharSet = 136;
constexpr double kDefaultPixelSize = 12.0;

const char* languageOf(uint32_t charSet) {
    switch (charSet) {
        case kShiftJisCharSet:
            return "ja";
        case kHangulCharSet:
            return "ko";
        case kGb2312CharSet:
            return "zh-cn";
        case kChineseBig5CharSet:
            return "zh-tw";
        default:
            return nullptr;
    }
}

// CreateFont's height: negative is the character (em) height, positive the
// cell height, which for the fonts here is close enough to the em height.
double pixelSizeOf(int32_t height) {
    if (height == 0) return kDefaultPixelSize;
    return height < 0 ? -static_cast<double>(height) : static_cast<double>(height);
}

XftFont* openPattern(FcPattern* pattern) {
    Display* connection = display();
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    XftDefaultSubstitute(connection, DefaultScreen(connection), pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (match == nullptr) return nullptr;
    XftFont* font = XftFontOpenPattern(connection, match);  // owns `match` from here
    if (font == nullptr) FcPatternDestroy(match);
    return font;
}

}  // namespace

XftFont* openFont(const FontObject& font) {
    if (display() == nullptr) return nullptr;
    FcPattern* pattern = FcPatternCreate();
    if (pattern == nullptr) return nullptr;
    const auto* face = reinterpret_cast<const FcChar8*>(font.face.c_str());
    if (!font.face.empty()) FcPatternAddString(pattern, FC_FAMILY, face);
    FcPatternAddDouble(pattern, FC_PIXEL_SIZE, pixelSizeOf(font.height));
    const int weight = font.weight <= 0 ? 400 : std::min(font.weight, 1000);
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight));
    FcPatternAddInteger(pattern, FC_SLANT, font.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    if (const char* language = languageOf(font.charSet))
        FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>(language));
    if (!font.antialiased) FcPatternAddBool(pattern, FC_ANTIALIAS, FcFalse);
    return openPattern(pattern);
}

XftFont* defaultControlFont() {
    static XftFont* const font = [] {
        FontObject description;
        description.height = -static_cast<int32_t>(kDefaultPixelSize);
        // No face: the language alone picks the font (a named family such as
        // "sans-serif" would win over the language and may lack Japanese).
        description.charSet = kShiftJisCharSet;
        return openFont(description);
    }();
    return font;
}

int32_t textWidth(XftFont* font, std::string_view utf8) {
    if (font == nullptr || utf8.empty()) return 0;
    XGlyphInfo extents{};
    XftTextExtentsUtf8(display(), font, reinterpret_cast<const FcChar8*>(utf8.data()),
                       static_cast<int>(utf8.size()), &extents);
    return extents.xOff;
}

void drawText(::Window target, XftFont* font, int32_t x, int32_t baseline, std::string_view utf8,
              uint32_t colourRef, const Rect& clip) {
    Display* connection = display();
    if (font == nullptr || utf8.empty() || connection == nullptr) return;
    const int screen = DefaultScreen(connection);
    XftDraw* draw = XftDrawCreate(connection, target, DefaultVisual(connection, screen),
                                  DefaultColormap(connection, screen));
    if (draw == nullptr) return;
    XRectangle area{static_cast<short>(clip.left), static_cast<short>(clip.top),
                    static_cast<unsigned short>(std::max(clip.right - clip.left, 0)),
                    static_cast<unsigned short>(std::max(clip.bottom - clip.top, 0))};
    XftDrawSetClipRectangles(draw, 0, 0, &area, 1);
    XRenderColor value{static_cast<unsigned short>((colourRef & 0xFF) * 0x101),
                       static_cast<unsigned short>(((colourRef >> 8) & 0xFF) * 0x101),
                       static_cast<unsigned short>(((colourRef >> 16) & 0xFF) * 0x101), 0xFFFF};
    XftColor colour{};
    if (XftColorAllocValue(connection, DefaultVisual(connection, screen),
                           DefaultColormap(connection, screen), &value, &colour)) {
        XftDrawStringUtf8(draw, &colour, font, x, baseline,
                          reinterpret_cast<const FcChar8*>(utf8.data()),
                          static_cast<int>(utf8.size()));
        XftColorFree(connection, DefaultVisual(connection, screen),
                     DefaultColormap(connection, screen), &colour);
    }
    XftDrawDestroy(draw);
}

}  // namespace platform::x11
