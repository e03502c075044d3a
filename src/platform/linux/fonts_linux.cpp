#include "platform/linux/fonts_linux.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>

#include "platform/linux/font_match_linux.h"
#include "platform/linux/visuals_linux.h"
#include "platform/linux/window_record_linux.h"
#include "platform/linux/x11_display_linux.h"
#include "platform/windows_values.h"

namespace platform::x11 {
namespace {

constexpr double kDefaultPixelSize = 12.0;

// CreateFont's height: negative is the character (em) height, positive the
// cell height, which for the fonts here is close enough to the em height.
double pixelSizeOf(int32_t height) {
    if (height == 0) return kDefaultPixelSize;
    return height < 0 ? -static_cast<double>(height) : static_cast<double>(height);
}

void substituteForXft(FcPattern* pattern) {
    Display* connection = display();
    XftDefaultSubstitute(connection, DefaultScreen(connection), pattern);
}

}  // namespace

XftFont* openFont(const FontObject& font) {
    Display* connection = display();
    if (connection == nullptr) return nullptr;
    FcPattern* pattern = FcPatternCreate();
    if (pattern == nullptr) return nullptr;
    FcPatternAddDouble(pattern, FC_PIXEL_SIZE, pixelSizeOf(font.height));
    if (!font.antialiased) FcPatternAddBool(pattern, FC_ANTIALIAS, FcFalse);
    FaceRequest request;
    request.family = font.face;
    request.charSet = static_cast<uint8_t>(font.charSet);
    request.pitchAndFamily = font.pitchAndFamily;
    request.weight = font.weight <= 0 ? 400 : std::min(font.weight, 1000);
    request.italic = font.italic;
    FcPattern* match = matchFace(request, pattern, substituteForXft);
    if (match == nullptr) return nullptr;
    XftFont* opened = XftFontOpenPattern(connection, match);  // owns `match` from here
    if (opened == nullptr) FcPatternDestroy(match);
    return opened;
}

XftFont* defaultControlFont() {
    static XftFont* const font = [] {
        FontObject description;
        description.height = -static_cast<int32_t>(kDefaultPixelSize);
        // No face, a sans-serif family: a Japanese sans-serif face.
        description.charSet = SHIFTJIS_CHARSET;
        description.pitchAndFamily = FF_SWISS;
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
    const WindowVisual& visual = visualOf(target);
    XftDraw* draw = XftDrawCreate(connection, target, visual.visual, visual.colormap);
    if (draw == nullptr) return;
    XRectangle area{static_cast<short>(clip.left), static_cast<short>(clip.top),
                    static_cast<unsigned short>(std::max(clip.right - clip.left, 0)),
                    static_cast<unsigned short>(std::max(clip.bottom - clip.top, 0))};
    XftDrawSetClipRectangles(draw, 0, 0, &area, 1);
    XRenderColor value{static_cast<unsigned short>((colourRef & 0xFF) * 0x101),
                       static_cast<unsigned short>(((colourRef >> 8) & 0xFF) * 0x101),
                       static_cast<unsigned short>(((colourRef >> 16) & 0xFF) * 0x101), 0xFFFF};
    XftColor colour{};
    if (XftColorAllocValue(connection, visual.visual, visual.colormap, &value, &colour)) {
        XftDrawStringUtf8(draw, &colour, font, x, baseline,
                          reinterpret_cast<const FcChar8*>(utf8.data()),
                          static_cast<int>(utf8.size()));
        XftColorFree(connection, visual.visual, visual.colormap, &colour);
    }
    XftDrawDestroy(draw);
}

}  // namespace platform::x11
