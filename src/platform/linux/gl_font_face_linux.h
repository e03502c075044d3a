// The face a GDI font description stands for, through fontconfig and
// FreeType: the face named, else the best one for the character set's
// language (Japanese for Shift_JIS) with the description's pitch
// (font_match_linux.h: fixed for the status font), sized as GDI sizes it (a positive height
// is the cell height, ascent plus descent; a negative one the em height), its
// glyphs rendered with grey levels as GDI's antialiased glyph outlines are.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/graphics_types.h"

namespace platform::gl {

// GDI's text metrics of the face, in pixels.
struct FaceMetrics {
    int32_t ascent = 0;
    int32_t height = 0;  // ascent plus descent: a line's height
    int32_t averageWidth = 0;
};

// One glyph: its coverage (0 to 255) and where it lies from the pen on the
// baseline.
struct GlyphImage {
    int32_t left = 0;  // from the pen to the bitmap's left
    int32_t top = 0;   // from the baseline up to the bitmap's top
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t pitch = 0;
    std::vector<uint8_t> coverage;  // pitch * height
    int32_t advance = 0;
};

class FontFace {
public:
    // Null when no face can be found or opened.
    static std::unique_ptr<FontFace> open(const FontDescription& description);
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    const FaceMetrics& metrics() const { return metrics_; }
    // The glyph of a character (the face's missing-glyph box where it has
    // none); false when FreeType cannot render it.
    bool glyph(char32_t character, GlyphImage& out) const;
    // A text of the description's character set as UTF-32 (code page 932
    // for Shift_JIS and the default sets): characters that are not valid in
    // it become the replacement GDI shows.
    std::u32string decode(std::string_view text) const;

private:
    FontFace(FT_Library library, FT_Face face, const char* charset);
    bool setSize(int32_t height);
    int32_t advanceOf(FT_Pos hinted) const;

    FT_Library library_;
    FT_Face face_;
    const char* charset_;  // iconv name; null for code page 932
    FaceMetrics metrics_;
    FT_Long averageUnits_ = 0;  // the average character width in font units
    bool fixedPitch_ = false;
};

}  // namespace platform::gl
