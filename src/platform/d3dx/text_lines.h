// What both backends' font objects share: the placement of a line in the
// caller's rectangle, the picture of a line from its glyphs' coverage, and
// the cache of lines already rasterised.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
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

// The lines a font has rasterised, by text and layout format; the least
// recently used goes when a new one would pass the capacity. `Line` has
// `text`, `format` and `lastUse` members; `release(line)` gives up what a
// line holds when it goes.
template <class Line, class Release>
class LineCache {
public:
    LineCache(size_t capacity, Release release) : capacity_(capacity), release_(release) {}
    LineCache(const LineCache&) = delete;
    LineCache& operator=(const LineCache&) = delete;
    ~LineCache() {
        for (Line& line : lines_) release_(line);
    }

    // The cached line, or null.
    Line* find(const std::string& text, uint32_t format) {
        ++clock_;
        for (Line& line : lines_) {
            if (line.text == text && line.format == format) {
                line.lastUse = clock_;
                return &line;
            }
        }
        return nullptr;
    }

    // Keeps a new line, in place of the least recently used one when full.
    Line* add(Line line) {
        line.lastUse = ++clock_;
        if (lines_.size() >= capacity_ && !lines_.empty()) {
            auto oldest = std::min_element(
                lines_.begin(), lines_.end(),
                [](const Line& a, const Line& b) { return a.lastUse < b.lastUse; });
            release_(*oldest);
            *oldest = std::move(line);
            return &*oldest;
        }
        lines_.push_back(std::move(line));
        return &lines_.back();
    }

private:
    size_t capacity_;
    Release release_;
    std::vector<Line> lines_;
    uint64_t clock_ = 0;
};

}  // namespace d3dx
