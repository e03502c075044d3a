#include "platform/linux/gl_font_face_linux.h"

#include <fontconfig/fontconfig.h>

#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cstring>

#include "platform/linux/font_match_linux.h"
#include "platform/linux/text_linux.h"
#include "platform/text.h"

namespace platform::gl {
namespace {

using x11::Charset;
using x11::charsetOf;

// The font file and face index of the installed face the description picks
// (font_match_linux.h).
bool findFace(const FontDescription& description, const Charset& charset, std::string& file,
              int& index) {
    FcPattern* pattern = FcPatternCreate();
    if (pattern == nullptr) return false;
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    x11::FaceRequest request;
    char faceName[sizeof description.faceName + 1] = {};
    std::memcpy(faceName, description.faceName, sizeof description.faceName);
    if (faceName[0] != '\0') {
        const std::optional<std::string> family = charset.encoding == nullptr
                                                      ? x11::utf8FromCp932(faceName)
                                                      : x11::utf8From(faceName, charset.encoding);
        request.family = family.value_or("");
    }
    request.charSet = description.charSet;
    request.pitchAndFamily = description.pitchAndFamily;
    request.weight = description.weight == 0 ? 400 : static_cast<int>(description.weight);
    request.italic = description.italic != 0;
    FcPattern* match = x11::matchFace(request, pattern, FcDefaultSubstitute);
    if (match == nullptr) return false;
    FcChar8* path = nullptr;
    const bool found = FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch;
    if (found) file = reinterpret_cast<const char*>(path);
    index = 0;
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    FcPatternDestroy(match);
    return found;
}

int32_t roundedPixels(FT_Long fontUnits, FT_Fixed scale) {
    return static_cast<int32_t>((FT_MulFix(fontUnits, scale) + 32) >> 6);
}

// Valid UTF-8 (as iconv writes it) as code points.
void appendUtf8(std::string_view text, std::u32string& out) {
    for (size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const size_t length = byte < 0x80 ? 1 : byte < 0xE0 ? 2 : byte < 0xF0 ? 3 : 4;
        char32_t value = length == 1 ? byte : byte & (0x7F >> length);
        for (size_t k = 1; k < length && i + k < text.size(); ++k)
            value = value << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        out.push_back(value);
        i += length;
    }
}

}  // namespace

std::unique_ptr<FontFace> FontFace::open(const FontDescription& description) {
    const Charset charset = charsetOf(description.charSet);
    std::string file;
    int index = 0;
    if (!findFace(description, charset, file, index)) return nullptr;
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) return nullptr;
    FT_Face face = nullptr;
    if (FT_New_Face(library, file.c_str(), index, &face) != 0) {
        FT_Done_FreeType(library);
        return nullptr;
    }
    std::unique_ptr<FontFace> opened(new FontFace(library, face, charset.encoding));
    if (!opened->setSize(description.height)) return nullptr;
    return opened;
}

FontFace::FontFace(FT_Library library, FT_Face face, const char* charset)
    : library_(library), face_(face), charset_(charset) {}

FontFace::~FontFace() {
    FT_Done_Face(face_);
    FT_Done_FreeType(library_);
}

// GDI's sizes: a positive height is the cell height, the Windows ascent and
// descent of the face's OS/2 table; a negative one the em height; 0 a
// default. Ascent and descent are the OS/2 ones at that size, rounded.
bool FontFace::setSize(int32_t height) {
    if (!FT_IS_SCALABLE(face_)) return false;
    const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face_, FT_SFNT_OS2));
    FT_Long ascent = face_->ascender;
    FT_Long descent = -face_->descender;
    if (os2 != nullptr && os2->usWinAscent + os2->usWinDescent != 0) {
        ascent = os2->usWinAscent;
        descent = os2->usWinDescent;
    }
    if (ascent + descent <= 0) return false;
    if (height == 0) height = 16;
    const int64_t units = face_->units_per_EM;
    const int64_t ppem = height > 0 ? (units * height + (ascent + descent) / 2) / (ascent + descent)
                                    : -int64_t{height};
    if (ppem <= 0 || ppem > 4096) return false;
    if (FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(ppem)) != 0) return false;
    const FT_Size_Metrics& size = face_->size->metrics;
    metrics_.ascent = roundedPixels(ascent, size.y_scale);
    metrics_.height = metrics_.ascent + roundedPixels(descent, size.y_scale);
    // Fixed pitch as GDI tells it: also a face whose PANOSE proportion is
    // "monospaced", as Japanese faces with half- and full-width characters are.
    constexpr FT_Byte kPanoseMonospaced = 9;
    fixedPitch_ =
        FT_IS_FIXED_WIDTH(face_) || (os2 != nullptr && os2->panose[3] == kPanoseMonospaced);
    averageUnits_ =
        os2 != nullptr && os2->xAvgCharWidth > 0 ? os2->xAvgCharWidth : face_->units_per_EM / 2;
    metrics_.averageWidth = std::max(roundedPixels(averageUnits_, size.x_scale), 1);
    return true;
}

// Advances are rounded up to whole pixels. In a fixed-pitch face, GDI makes a full-width character
// exactly twice as wide as a half-width one, also where rounding at the size would make the two
// differ: a 13-pixel face advances 7 and 14, not 7 and 13.
int32_t FontFace::advanceOf(FT_Pos hinted) const {
    FT_Pos advance = hinted;
    if (fixedPitch_ && averageUnits_ > 0) {
        const FT_Fixed emScale =
            FT_MulDiv(face_->size->metrics.y_ppem, 1 << 16, face_->units_per_EM);
        const FT_Long halfWidth = FT_MulFix(averageUnits_, emScale);
        if (halfWidth > 0 && (hinted + 63) >> 6 == FT_MulFix(averageUnits_ * 2, emScale))
            advance = (halfWidth * 2) << 6;
    }
    return static_cast<int32_t>((advance + 63) >> 6);
}

// Loaded as GDI's grey-level glyph outlines are: hinted, and from the outline
// even where the face has bitmaps.
bool FontFace::glyph(char32_t character, GlyphImage& out) const {
    const FT_UInt index = FT_Get_Char_Index(face_, character);
    constexpr FT_Int32 kFlags =
        FT_LOAD_DEFAULT | FT_LOAD_IGNORE_GLOBAL_ADVANCE_WIDTH | FT_LOAD_NO_BITMAP;
    if (FT_Load_Glyph(face_, index, kFlags) != 0) return false;
    const FT_GlyphSlot slot = face_->glyph;
    out.advance = advanceOf(slot->metrics.horiAdvance);
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return false;
    const FT_Bitmap& bitmap = slot->bitmap;
    out.left = slot->bitmap_left;
    out.top = slot->bitmap_top;
    out.width = bitmap.width;
    out.height = bitmap.rows;
    out.pitch = bitmap.width;
    out.coverage.assign(size_t{out.width} * out.height, 0);
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY || bitmap.buffer == nullptr) return true;
    const int32_t pitch = bitmap.pitch;
    for (uint32_t y = 0; y < out.height; ++y) {
        // A negative pitch means rows from the bottom up.
        const uint8_t* row =
            pitch >= 0 ? bitmap.buffer + size_t{y} * static_cast<size_t>(pitch)
                       : bitmap.buffer + size_t{out.height - 1 - y} * static_cast<size_t>(-pitch);
        std::memcpy(out.coverage.data() + size_t{y} * out.pitch, row, out.width);
    }
    return true;
}

std::u32string FontFace::decode(std::string_view text) const {
    std::u32string out;
    auto convert = [this](std::string_view part) {
        return charset_ == nullptr ? x11::utf8FromCp932(part) : x11::utf8From(part, charset_);
    };
    if (const std::optional<std::string> whole = convert(text)) {
        appendUtf8(*whole, out);
        return out;
    }
    // Character by character, as GDI converts: what is not valid shows as
    // the code page's default character.
    const char32_t replacement = charset_ == nullptr ? U'\u30FB' : U'?';
    for (size_t i = 0; i < text.size();) {
        size_t length = 1;
        if (charset_ == nullptr && isCp932LeadByte(static_cast<unsigned char>(text[i])) &&
            i + 1 < text.size())
            length = 2;
        if (const std::optional<std::string> part = convert(text.substr(i, length))) {
            appendUtf8(*part, out);
        } else {
            out.push_back(replacement);
        }
        i += length;
    }
    return out;
}

}  // namespace platform::gl
