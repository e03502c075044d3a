// What both backends' font objects share: a line's layout from its glyphs,
// its placement in the caller's rectangle, its picture from the glyphs'
// coverage, and the record and cache of lines already rasterised.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/types.h"

namespace d3dx {

// The DrawText format flags the fonts read (GDI's values).
inline constexpr uint32_t kDtCenter = 0x0001;
inline constexpr uint32_t kDtRight = 0x0002;
inline constexpr uint32_t kDtVCenter = 0x0004;
inline constexpr uint32_t kDtBottom = 0x0008;
inline constexpr uint32_t kDtSingleLine = 0x0020;
inline constexpr uint32_t kDtExpandTabs = 0x0040;
inline constexpr uint32_t kDtCalcRect = 0x0400;
// The flags that change a line's picture.
inline constexpr uint32_t kDtLayout = kDtExpandTabs | kDtSingleLine;

// The top-left corner of a line of the given size in `area`: left and top
// unless centred, right- or bottom-aligned (the rectangle's right and bottom
// count only then); the text is never clipped.
inline platform::Point placeLine(const platform::Rect& area, int32_t width, int32_t height,
                                 uint32_t format) {
    platform::Point at{area.left, area.top};
    if (format & kDtCenter) at.x = area.left + (area.right - area.left - width) / 2;
    if (format & kDtRight) at.x = area.right - width;
    if (format & kDtVCenter) at.y = area.top + (area.bottom - area.top - height) / 2;
    if (format & kDtBottom) at.y = area.bottom - height;
    return at;
}

// One glyph's coverage, 0 (none) to the rasteriser's full level, at its place
// in the line's picture.
struct GlyphCoverage {
    int32_t x = 0;  // top-left of its bitmap in the line's picture
    int32_t y = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t pitch = 0;             // bytes from one row to the next
    std::vector<uint8_t> coverage;  // pitch * height
};

// The line's picture, `width` by `height` A8R8G8B8 pixels: white, with the
// coverage as alpha (`fullLevel` is opaque: 64 for GDI's grey levels, 255 for
// FreeType's); where glyphs overlap, the larger coverage.
inline std::vector<uint32_t> linePicture(const std::vector<GlyphCoverage>& glyphs, uint32_t width,
                                         uint32_t height, uint32_t fullLevel) {
    std::vector<uint32_t> pixels(size_t{width} * height, 0x00FFFFFFu);
    for (const GlyphCoverage& glyph : glyphs) {
        for (uint32_t gy = 0; gy < glyph.height; ++gy) {
            const int64_t y = int64_t{glyph.y} + gy;
            if (y < 0 || y >= height) continue;
            for (uint32_t gx = 0; gx < glyph.width; ++gx) {
                const int64_t x = int64_t{glyph.x} + gx;
                const size_t at = size_t{gy} * glyph.pitch + gx;
                if (x < 0 || x >= width || at >= glyph.coverage.size()) continue;
                const uint32_t level = std::min<uint32_t>(glyph.coverage[at], fullLevel);
                uint32_t& pixel = pixels[static_cast<size_t>(y) * width + static_cast<size_t>(x)];
                const uint32_t alpha =
                    std::max(pixel >> 24, (level * 255 + fullLevel / 2) / fullLevel);
                pixel = alpha << 24 | 0x00FFFFFFu;
            }
        }
    }
    return pixels;
}

// One line a font has rasterised: its text and layout format, its size, and
// the texture holding its picture (`Texture{}` for text without pixels),
// which may be larger than the text.
template <class Texture>
struct TextLine {
    std::string text;
    uint32_t format = 0;
    Texture texture{};
    int32_t width = 0;  // of the text
    int32_t height = 0;
    uint32_t textureWidth = 0;
    uint32_t textureHeight = 0;
    uint64_t lastUse = 0;
};

// The text DrawText is given: `count` characters, or up to the NUL for -1.
inline std::string drawnText(const char* text, int32_t count) {
    return std::string(text, count < 0 ? std::strlen(text) : static_cast<size_t>(count));
}

// What DrawText does with a line: with DT_CALCRECT, the rectangle it would
// take; else `draw(line, at)` where it has pixels. The line's height, as
// DrawText answers it.
template <class Texture, class Draw>
int32_t drawOrMeasure(const TextLine<Texture>& line, platform::Rect* rect, uint32_t format,
                      Draw draw) {
    const platform::Rect area = rect != nullptr ? *rect : platform::Rect{};
    const platform::Point at = placeLine(area, line.width, line.height, format);
    if (format & kDtCalcRect) {
        if (rect != nullptr)
            *rect = platform::Rect{at.x, at.y, at.x + line.width, at.y + line.height};
        return line.height;
    }
    if (line.texture != Texture{}) draw(line, at);
    return line.height;
}

// A glyph as a font face gives it for the line's layout: its advance, and
// its coverage with x and y from the pen's origin at the line's top (width
// or height 0 for a glyph without pixels).
struct PlacedGlyph {
    int32_t advance = 0;
    GlyphCoverage coverage;
};

// Lays `chars` out glyph by glyph as GDI does: each glyph's bitmap at the
// pen, the pen moved by its advance; tabs to the next multiple of eight
// average widths (DT_EXPANDTABS); a line feed starts a new line unless the
// text is single-line; carriage returns take no room. `glyphOf(c, glyph)`
// gives one glyph, false for one the face cannot make (it takes no room).
// Sets the line's width and height; the glyphs that have pixels.
template <class Texture, class Chars, class GlyphOf>
std::vector<GlyphCoverage> layOutLine(TextLine<Texture>& line, const Chars& chars,
                                      int32_t lineHeight, int32_t averageWidth, GlyphOf glyphOf) {
    const int32_t tab = 8 * std::max(averageWidth, 1);
    std::vector<GlyphCoverage> glyphs;
    int32_t penX = 0;
    int32_t penY = 0;
    int32_t right = 0;
    for (const auto c : chars) {
        if (c == '\r') continue;
        if (c == '\n' && (line.format & kDtSingleLine) == 0) {
            penX = 0;
            penY += lineHeight;
            continue;
        }
        if (c == '\t' && (line.format & kDtExpandTabs) != 0) {
            penX = (penX / tab + 1) * tab;
            right = std::max(right, penX);
            continue;
        }
        PlacedGlyph glyph;
        if (!glyphOf(c, glyph)) continue;
        GlyphCoverage& coverage = glyph.coverage;
        if (coverage.width > 0 && coverage.height > 0) {
            coverage.x += penX;
            coverage.y += penY;
            right = std::max(right, coverage.x + static_cast<int32_t>(coverage.width));
            glyphs.push_back(std::move(coverage));
        }
        penX += glyph.advance;
        right = std::max(right, penX);
    }
    line.width = right;
    line.height = penY + lineHeight;
    return glyphs;
}

// The lines a font has rasterised, by text and layout format; the least
// recently used goes when a new one would pass the capacity, its texture
// given up with `release`.
template <class Texture>
class LineCache {
public:
    using Line = TextLine<Texture>;

    LineCache(size_t capacity, void (*release)(Texture)) : capacity_(capacity), release_(release) {}
    LineCache(const LineCache&) = delete;
    LineCache& operator=(const LineCache&) = delete;
    ~LineCache() {
        for (Line& line : lines_) releaseTexture(line);
    }

    // DrawText on these lines: the line of `count` characters of `text` (up
    // to its NUL for -1), found or made, measured or drawn by drawOrMeasure.
    // 0 for no text or a line that cannot be made.
    template <class Rasterise, class Draw>
    int32_t drawText(const char* text, int32_t count, platform::Rect* rect, uint32_t format,
                     Rasterise rasterise, Draw draw) {
        if (text == nullptr) return 0;
        const Line* line = find(drawnText(text, count), format & kDtLayout, rasterise);
        if (line == nullptr) return 0;
        return drawOrMeasure(*line, rect, format, draw);
    }

    // The cached line, or one made now by `rasterise(line)` (given its text
    // and format) and kept; null when that fails.
    template <class Rasterise>
    const Line* find(const std::string& text, uint32_t format, Rasterise rasterise) {
        ++clock_;
        for (Line& line : lines_) {
            if (line.text == text && line.format == format) {
                line.lastUse = clock_;
                return &line;
            }
        }
        Line line;
        line.text = text;
        line.format = format;
        if (!rasterise(line)) return nullptr;
        return add(std::move(line));
    }

private:
    // Keeps a new line, in place of the least recently used one when full.
    Line* add(Line line) {
        line.lastUse = ++clock_;
        if (lines_.size() >= capacity_ && !lines_.empty()) {
            auto oldest = std::min_element(
                lines_.begin(), lines_.end(),
                [](const Line& a, const Line& b) { return a.lastUse < b.lastUse; });
            releaseTexture(*oldest);
            *oldest = std::move(line);
            return &*oldest;
        }
        lines_.push_back(std::move(line));
        return &lines_.back();
    }

    void releaseTexture(Line& line) {
        if (line.texture != Texture{}) release_(std::exchange(line.texture, Texture{}));
    }

    size_t capacity_;
    void (*release_)(Texture);
    std::vector<Line> lines_;
    uint64_t clock_ = 0;
};

}  // namespace d3dx
