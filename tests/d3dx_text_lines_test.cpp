// What both backends' fonts share: a line's layout from its glyphs, what
// DrawText answers for it, and the cache of rasterised lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/d3dx/text_lines.h"

namespace {

using Line = d3dx::TextLine<int>;

// Glyphs 10 wide with a 6 by 8 bitmap one pixel right of the pen; '?' is
// one the face cannot make, ' ' has no pixels.
bool testGlyph(char c, d3dx::PlacedGlyph& glyph) {
    if (c == '?') return false;
    glyph.advance = 10;
    if (c == ' ') return true;
    glyph.coverage.x = 1;
    glyph.coverage.y = 2;
    glyph.coverage.width = 6;
    glyph.coverage.height = 8;
    return true;
}

std::vector<d3dx::GlyphCoverage> layOut(Line& line) {
    return d3dx::layOutLine(line, line.text, 12, 3, testGlyph);
}

TEST(TextLinesTest, LayOutMovesThePenAsGdiDoes) {
    Line line;
    line.text = "a b?\r";
    ASSERT_EQ(layOut(line).size(), 2u);
    EXPECT_EQ(line.width, 30);  // the unknown glyph and the carriage return take no room
    EXPECT_EQ(line.height, 12);

    line.text = "a\tb\nc";
    line.format = d3dx::kDtExpandTabs;
    const std::vector<d3dx::GlyphCoverage> glyphs = layOut(line);
    ASSERT_EQ(glyphs.size(), 3u);
    EXPECT_EQ(glyphs[1].x, 25);  // the tab stops every eight average widths
    EXPECT_EQ(glyphs[2].x, 1);
    EXPECT_EQ(glyphs[2].y, 14);  // below the first line
    EXPECT_EQ(line.width, 34);
    EXPECT_EQ(line.height, 24);

    line.format = d3dx::kDtSingleLine;  // tabs and line feeds are glyphs of their own
    EXPECT_EQ(layOut(line).size(), 5u);
    EXPECT_EQ(line.width, 50);
    EXPECT_EQ(line.height, 12);
}

TEST(TextLinesTest, CalcRectMeasuresAndDrawsOnlyLinesWithPixels) {
    Line line;
    line.width = 30;
    line.height = 12;
    int draws = 0;
    platform::Rect rect{0, 0, 100, 50};
    const auto draw = [&](const Line&, platform::Point at) {
        ++draws;
        EXPECT_EQ(at.x, 70);
    };
    EXPECT_EQ(d3dx::drawOrMeasure(line, &rect, d3dx::kDtRight, draw), 12);
    EXPECT_EQ(draws, 0);  // no texture: nothing to draw
    line.texture = 1;
    EXPECT_EQ(d3dx::drawOrMeasure(line, &rect, d3dx::kDtRight, draw), 12);
    EXPECT_EQ(draws, 1);
    EXPECT_EQ(d3dx::drawOrMeasure(line, &rect, d3dx::kDtRight | d3dx::kDtCalcRect, draw), 12);
    EXPECT_EQ(draws, 1);
    EXPECT_EQ(rect.left, 70);
    EXPECT_EQ(rect.right, 100);
    EXPECT_EQ(rect.bottom, 12);
}

std::vector<int> released;
void release(int texture) { released.push_back(texture); }

TEST(TextLinesTest, CacheGivesUpTheLeastRecentlyUsedLine) {
    released.clear();
    int made = 0;
    const auto rasterise = [&](Line& line) {
        line.texture = ++made;
        return line.text != "fails";
    };
    {
        d3dx::LineCache<int> cache(2, release);
        EXPECT_EQ(cache.find("a", 0, rasterise)->texture, 1);
        EXPECT_EQ(cache.find("b", 0, rasterise)->texture, 2);
        EXPECT_EQ(cache.find("a", 0, rasterise)->texture, 1);  // kept, and now the newer
        EXPECT_EQ(cache.find("a", d3dx::kDtSingleLine, rasterise)->texture, 3);
        EXPECT_EQ(released, std::vector<int>{2});
        EXPECT_EQ(cache.find("fails", 0, rasterise), nullptr);
        EXPECT_EQ(made, 4);
    }
    EXPECT_EQ(released, (std::vector<int>{2, 1, 3}));
}

}  // namespace
