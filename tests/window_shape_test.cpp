#include "panel/window_shape.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "controls/viewer_state.h"
#include "fake/fake_platform.h"
#include "fake_test_support.h"
#include "platform/window_system.h"

namespace {

using platform::Point;
using platform::Rect;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr uint32_t kRed = 0x00FF0000;  // pixel layout
constexpr uint32_t kGrey = 0x00808080;
constexpr uint32_t kGreen = 0x0000FF00;

// A picture written top row first, as one reads it; stored bottom-up.
struct TestPicture {
    int32_t width;
    int32_t height;
    std::vector<uint32_t> pixels;  // bottom-up

    TestPicture(int32_t w, int32_t h, uint32_t fill)
        : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill) {}
    // (x, y) with y = 0 at the top row.
    uint32_t& at(int32_t x, int32_t y) {
        return pixels[static_cast<size_t>(height - 1 - y) * width + x];
    }
    WindowShape shape(uint32_t key, Point offset = {}) const {
        return shapeFromPixels(pixels.data(), width, height, key, offset);
    }
};

TEST(ShapeFromPixelsTest, ExplicitKeyAbsentLeavesTheRectangleWhole) {
    TestPicture picture(5, 4, kGrey);
    picture.at(2, 1) = kGreen;
    const WindowShape shape = picture.shape(0x000000FF, {3, 7});
    EXPECT_EQ(shape.start, (Rect{3, 7, 8, 11}));
    EXPECT_THAT(shape.cuts, IsEmpty());
}

TEST(ShapeFromPixelsTest, KeyFromPictureIsTheBottomLeftPixelAndAlwaysCut) {
    TestPicture picture(3, 3, kGrey);
    picture.at(0, 2) = kGreen;  // bottom-left
    picture.at(2, 0) = kGreen;  // top-right
    picture.at(0, 0) = kRed;    // top-left is not the key
    const WindowShape shape = picture.shape(kKeyFromPicture);
    EXPECT_THAT(shape.cuts, ElementsAre(Rect{0, 2, 1, 3}, Rect{2, 0, 3, 1}));

    // Whatever the picture, its bottom-left pixel goes.
    const TestPicture plain(4, 2, kGrey);
    EXPECT_THAT(plain.shape(kKeyFromPicture).cuts.front(), (Rect{0, 0, 1, 2}));
}

TEST(ShapeFromPixelsTest, OneByOnePictureIsCutAway) {
    const TestPicture picture(1, 1, kGreen);
    const WindowShape shape = picture.shape(kKeyFromPicture, {4, 4});
    EXPECT_EQ(shape.start, (Rect{4, 4, 5, 5}));
    EXPECT_THAT(shape.cuts, ElementsAre(shape.start));
}

TEST(ShapeFromPixelsTest, ColumnsAreCutAsMaximalVerticalRuns) {
    TestPicture picture(3, 6, kGrey);
    for (int32_t y = 0; y < 6; ++y) picture.at(0, y) = kRed;  // whole column
    picture.at(1, 0) = kRed;                                  // touches the top row
    picture.at(1, 1) = kRed;
    picture.at(1, 3) = kRed;  // a second stretch in the middle
    picture.at(1, 5) = kRed;  // touches the bottom row
    picture.at(2, 4) = kRed;  // a single pixel
    const WindowShape shape = picture.shape(0x000000FF, {10, 20});
    // Column by column from the left; within a column from the bottom up.
    EXPECT_THAT(shape.cuts, ElementsAre(Rect{10, 20, 11, 26},  // full height, one rectangle
                                        Rect{11, 25, 12, 26},  // bottom row: bottom = offY + H
                                        Rect{11, 23, 12, 24},  //
                                        Rect{11, 20, 12, 22},  // top row: top = offY
                                        Rect{12, 24, 13, 25}));
}

TEST(ShapeFromPixelsTest, ExplicitKeyIsReorderedFromColourRef) {
    EXPECT_EQ(pixelFromColourRef(0x000000FF), 0x00FF0000u);
    EXPECT_EQ(pixelFromColourRef(0x00123456), 0x00563412u);
    EXPECT_EQ(pixelFromColourRef(0xAB123456), 0x00563412u);  // fourth byte dropped

    TestPicture picture(2, 1, kGrey);
    picture.at(1, 0) = 0x00FF0000;
    EXPECT_THAT(picture.shape(0x000000FF).cuts, ElementsAre(Rect{1, 0, 2, 1}));
    EXPECT_THAT(picture.shape(0x00FF0000).cuts, IsEmpty());  // that is blue
}

TEST(ShapeFromPixelsTest, FourthByteTakesPartInTheComparison) {
    TestPicture picture(3, 1, kGrey);
    picture.at(0, 0) = 0xFF00FF00;
    picture.at(1, 0) = 0x0100FF00;
    picture.at(2, 0) = 0x0000FF00;
    // An explicit key never has a fourth byte: only the plain pixel matches.
    EXPECT_THAT(picture.shape(0x0000FF00).cuts, ElementsAre(Rect{2, 0, 3, 1}));
    EXPECT_THAT(picture.shape(0xFF00FF00).cuts, ElementsAre(Rect{2, 0, 3, 1}));
    // Taken from the picture, the key keeps its fourth byte (the bottom-left
    // pixel is (0, 0) of a one-row picture).
    EXPECT_THAT(picture.shape(kKeyFromPicture).cuts, ElementsAre(Rect{0, 0, 1, 1}));
}

TEST(ShapeFromPixelsTest, TenByEightPictureAtTheClientOrigin) {
    const Point offset{4, 4};
    TestPicture picture(10, 8, kGrey);
    EXPECT_EQ(picture.shape(0x000000FF, offset).start, (Rect{4, 4, 14, 12}));

    TestPicture topLeft(10, 8, kGrey);
    topLeft.at(0, 0) = kRed;
    EXPECT_THAT(topLeft.shape(0x000000FF, offset).cuts, ElementsAre(Rect{4, 4, 5, 5}));

    TestPicture bottomLeft(10, 8, kGrey);
    bottomLeft.at(0, 7) = kRed;
    EXPECT_THAT(bottomLeft.shape(0x000000FF, offset).cuts, ElementsAre(Rect{4, 11, 5, 12}));
}

TEST(ShapeFromPixelsTest, PicturesWithoutPixelsReadNothing) {
    // A zero-length allocation: any read of it is caught by the sanitizer.
    const auto none = std::make_unique<uint32_t[]>(0);
    for (const uint32_t key : {kKeyFromPicture, uint32_t{0}}) {
        const WindowShape wide = shapeFromPixels(none.get(), 3, 0, key, {4, 4});
        EXPECT_EQ(wide.start, (Rect{4, 4, 7, 4}));
        EXPECT_THAT(wide.cuts, IsEmpty());
        const WindowShape tall = shapeFromPixels(none.get(), 0, 3, key, {4, 4});
        EXPECT_EQ(tall.start, (Rect{4, 4, 4, 7}));
        EXPECT_THAT(tall.cuts, IsEmpty());
        EXPECT_THAT(shapeFromPixels(nullptr, 0, 0, key, {}).cuts, IsEmpty());
    }
}

// Over random pictures: the cuts are one pixel wide, lie in the starting
// rectangle, never overlap, cover exactly the key pixels moved by the offset,
// and come column by column from the left, bottom up within a column.
TEST(ShapeFromPixelsTest, CutsCoverExactlyTheKeyPixels) {
    std::mt19937 random(462);
    const uint32_t palette[] = {kRed, kGrey, 0xFF00FF00, kGreen};
    for (int round = 0; round < 400; ++round) {
        const int32_t width = std::uniform_int_distribution<int32_t>(1, 13)(random);
        const int32_t height = std::uniform_int_distribution<int32_t>(1, 11)(random);
        const int colours = std::uniform_int_distribution<int>(1, 4)(random);
        TestPicture picture(width, height, 0);
        for (uint32_t& pixel : picture.pixels)
            pixel = palette[std::uniform_int_distribution<int>(0, colours - 1)(random)];
        const Point offset{std::uniform_int_distribution<int32_t>(-5, 9)(random),
                           std::uniform_int_distribution<int32_t>(-5, 9)(random)};
        const bool fromPicture = round % 2 == 0;
        const uint32_t key = fromPicture ? kKeyFromPicture : 0x000000FF;  // red
        const uint32_t match = fromPicture ? picture.pixels[0] : kRed;

        const WindowShape shape = picture.shape(key, offset);
        SCOPED_TRACE("round " + std::to_string(round));
        ASSERT_EQ(shape.start, (Rect{offset.x, offset.y, offset.x + width, offset.y + height}));
        std::vector<int> covered(static_cast<size_t>(width) * height, 0);
        for (size_t i = 0; i < shape.cuts.size(); ++i) {
            const Rect& cut = shape.cuts[i];
            ASSERT_EQ(cut.right - cut.left, 1);
            ASSERT_LT(cut.top, cut.bottom);
            ASSERT_GE(cut.left, shape.start.left);
            ASSERT_LE(cut.right, shape.start.right);
            ASSERT_GE(cut.top, shape.start.top);
            ASSERT_LE(cut.bottom, shape.start.bottom);
            for (int32_t y = cut.top; y < cut.bottom; ++y)
                ++covered[static_cast<size_t>(y - offset.y) * width + (cut.left - offset.x)];
            if (i > 0) {
                const Rect& before = shape.cuts[i - 1];
                ASSERT_LE(before.left, cut.left);
                // Same column: strictly above the previous run, not touching it.
                if (before.left == cut.left) {
                    ASSERT_LT(cut.bottom, before.top);
                }
            }
        }
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x)
                ASSERT_EQ(covered[static_cast<size_t>(y) * width + x],
                          picture.at(x, y) == match ? 1 : 0)
                    << "pixel " << x << "," << y;
    }
}

// --- the platform part, through the fake ------------------------------------

class RegionFromBitmapTest : public fake_test::FakeTest {
protected:
    void SetUp() override {
        FakeTest::SetUp();
        // A plain pop-up of the panel's size at the screen's corner; the
        // fake puts its client origin at (4, 4) with a 169 × 144 client area.
        window = platform::CreateWindowExA(0, "PLAIN", "com", 0x90840000, 0, 0, 177, 152, nullptr,
                                           0, nullptr, nullptr);
        fake::state().clearLog();
    }

    platform::GdiObject bitmapOf(const TestPicture& picture) {
        fake::state().imageFiles["picture.bmp"] = {picture.width, picture.height, picture.pixels};
        platform::GdiObject bitmap = platform::LoadImageA(nullptr, "picture.bmp", 0, 0, 0, 0x50);
        fake::state().clearLog();
        return bitmap;
    }

    static std::string h(const void* handle) { return fake::handleName(handle); }

    platform::WindowHandle window = nullptr;
};

TEST_F(RegionFromBitmapTest, WithBitmapReadsItThroughTheWindowDcAndCutsEachRun) {
    TestPicture picture(3, 2, kGrey);
    picture.at(0, 1) = kGreen;  // the key, bottom-left
    picture.at(2, 0) = kGreen;
    const platform::GdiObject bitmap = bitmapOf(picture);
    // The starting region is the first handle the call makes.
    const std::string start = "h" + std::to_string(fake::state().nextHandle);

    const platform::GdiObject region = regionFromBitmap(window, kKeyFromPicture, bitmap);

    const auto& calls = fake::state().calls;
    ASSERT_EQ(calls.size(), 9u + 2 * 5);
    const std::string w = h(window);
    EXPECT_EQ(calls[0].text(), "GetClientRect(" + w + ", &)");
    EXPECT_EQ(calls[1].text(), "ClientToScreen(" + w + ", 0 0)");
    EXPECT_EQ(calls[2].text(), "ClientToScreen(" + w + ", 169 144)");
    EXPECT_EQ(calls[3].text(), "GetWindowRect(" + w + ", &)");
    EXPECT_EQ(calls[4].name, "GetObjectA");
    EXPECT_EQ(calls[4].args[0], h(bitmap));
    EXPECT_EQ(calls[5].text(), "CreateRectRgn(4, 4, 7, 6)");
    EXPECT_EQ(calls[6].text(), "GetDC(" + w + ")");
    const std::string dc = calls[6 + 1].args[0];
    EXPECT_EQ(calls[7].text(), "GetDIBits(" + dc + ", " + h(bitmap) + ", 0, 2, &, 3x2x32, 0)");
    EXPECT_EQ(calls[8].text(), "ReleaseDC(" + w + ", " + dc + ")");

    // Every run: the run, an empty result, the difference, then the old
    // region and the run go.
    const std::vector<Rect> runs = {{4, 5, 5, 6}, {6, 4, 7, 5}};
    std::string current = start;
    for (size_t i = 0; i < runs.size(); ++i) {
        const size_t at = 9 + i * 5;
        const Rect& r = runs[i];
        EXPECT_EQ(calls[at].text(), "CreateRectRgn(" + std::to_string(r.left) + ", " +
                                        std::to_string(r.top) + ", " + std::to_string(r.right) +
                                        ", " + std::to_string(r.bottom) + ")");
        EXPECT_EQ(calls[at + 1].text(), "CreateRectRgn(0, 0, 0, 0)");
        ASSERT_EQ(calls[at + 2].name, "CombineRgn");
        const std::string result = calls[at + 2].args[0];
        const std::string source = calls[at + 2].args[1];
        const std::string run = calls[at + 2].args[2];
        EXPECT_EQ(calls[at + 2].args[3], "4");
        EXPECT_EQ(source, current);
        EXPECT_NE(result, source);
        current = result;
        EXPECT_EQ(calls[at + 3].text(), "DeleteObject(" + source + ")");
        EXPECT_EQ(calls[at + 4].text(), "DeleteObject(" + run + ")");
    }
    EXPECT_EQ(current, h(region));
    // The result is alive, the bitmap untouched.
    EXPECT_EQ(fake::state().deletedObjects.count(region), 0u);
    EXPECT_EQ(fake::state().deletedObjects.count(bitmap), 0u);
    EXPECT_EQ(fake::state().deletedObjects.size(), 4u);

    const platform::BitmapInfo& info = fake::state().lastBitmapInfo;
    EXPECT_EQ(info.header.size, 40u);
    EXPECT_EQ(info.header.width, 3);
    EXPECT_EQ(info.header.height, 2);
    EXPECT_EQ(info.header.planes, 1);
    EXPECT_EQ(info.header.bitCount, 32);
    EXPECT_EQ(info.header.compression, 0u);
    EXPECT_EQ(info.header.sizeImage, 3u * 2 * 4);
    EXPECT_EQ(info.header.xPelsPerMeter, 0);
    EXPECT_EQ(info.header.yPelsPerMeter, 0);
    EXPECT_EQ(info.header.clrUsed, 0u);
    EXPECT_EQ(info.header.clrImportant, 0u);
    for (uint32_t colour : info.colours) ASSERT_EQ(colour, 0u);
}

TEST_F(RegionFromBitmapTest, WithoutBitmapCopiesTheClientAreaFirst) {
    // The client area shows a plain face; outside it the copy stays zero.
    fake::state().clientPicture = {169, 144,
                                   std::vector<uint32_t>(static_cast<size_t>(169) * 144, kGrey)};

    const platform::GdiObject region = regionFromBitmap(window, kKeyFromPicture, nullptr);

    const std::vector<std::string> names = fake::state().names();
    ASSERT_GE(names.size(), 16u);
    EXPECT_THAT(
        std::vector<std::string>(names.begin(), names.begin() + 16),
        ElementsAre("GetClientRect", "ClientToScreen", "ClientToScreen", "GetWindowRect",
                    "CreateRectRgn", "GetDC", "CreateCompatibleDC", "CreateCompatibleBitmap",
                    "SelectObject", "BitBlt", "DeleteDC", "GetDIBits", "DeleteObject", "ReleaseDC",
                    "CreateRectRgn", "CreateRectRgn"));
    EXPECT_EQ(fake::state().count("GetObjectA"), 0u);
    const auto& calls = fake::state().calls;
    // W = client right − window left, H = client bottom − window top.
    EXPECT_EQ(calls[4].text(), "CreateRectRgn(4, 4, 177, 152)");
    const std::string windowDc = calls[7].args[0];
    EXPECT_EQ(calls[6].text(), "CreateCompatibleDC(" + windowDc + ")");
    EXPECT_EQ(calls[7].text(), "CreateCompatibleBitmap(" + windowDc + ", 173, 148)");
    const std::string memory = calls[8].args[0];
    const std::string copy = calls[8].args[1];
    EXPECT_EQ(calls[9].text(),
              "BitBlt(" + memory + ", 0, 0, 173, 148, " + windowDc + ", 0, 0, 0xcc0020)");
    EXPECT_EQ(calls[10].text(), "DeleteDC(" + memory + ")");
    EXPECT_EQ(calls[11].text(),
              "GetDIBits(" + windowDc + ", " + copy + ", 0, 148, &, 173x148x32, 0)");
    EXPECT_EQ(calls[12].text(), "DeleteObject(" + copy + ")");
    EXPECT_EQ(calls[13].text(), "ReleaseDC(" + h(window) + ", " + windowDc + ")");
    EXPECT_EQ(fake::state().lastBitmapInfo.header.sizeImage, 173u * 148 * 4);

    // The key is the zero beneath the client area: the right four columns
    // and the bottom four rows go, and the client area is what is left.
    EXPECT_EQ(fake::state().count("CombineRgn"), 169u + 4u);
    EXPECT_EQ(fake::state().find("CreateRectRgn", 1)->text(), "CreateRectRgn(4, 148, 5, 152)");
    EXPECT_EQ(fake::state().find("CreateRectRgn", 2 * 169 + 1)->text(),
              "CreateRectRgn(173, 4, 174, 152)");
    EXPECT_EQ(fake::state().deletedObjects.count(region), 0u);
}

TEST(CutsWholePictureTest, TellsWhetherAnyPixelIsLeft) {
    TestPicture picture(3, 2, kGreen);
    EXPECT_TRUE(cutsWholePicture(picture.shape(kKeyFromPicture, {4, 4})));
    picture.at(2, 0) = kGrey;
    EXPECT_FALSE(cutsWholePicture(picture.shape(kKeyFromPicture, {4, 4})));
    EXPECT_FALSE(cutsWholePicture(picture.shape(0x00FF00FF)));
    EXPECT_FALSE(cutsWholePicture(TestPicture(0, 0, kGreen).shape(kKeyFromPicture)));
}

TEST_F(RegionFromBitmapTest, WithoutBitmapAWindowNotYetDrawnKeepsItsRectangle) {
    // Nothing drawn yet: the copy is black throughout, the key is black.
    const platform::GdiObject region = regionFromBitmap(window, kKeyFromPicture, nullptr);
    EXPECT_EQ(fake::state().count("CreateRectRgn"), 1u);
    EXPECT_EQ(fake::state().find("CreateRectRgn")->text(), "CreateRectRgn(4, 4, 177, 152)");
    EXPECT_EQ(fake::state().count("CombineRgn"), 0u);
    EXPECT_EQ(fake::state().names().back(), "ReleaseDC");
    EXPECT_EQ(fake::state().deletedObjects.count(region), 0u);
}

TEST_F(RegionFromBitmapTest, BitmapOfNothingButTheKeyIsCutAway) {
    // With a bitmap, its pixels are what the user asked for, even when
    // nothing is left of the window.
    const TestPicture picture(2, 2, kGreen);
    regionFromBitmap(window, kKeyFromPicture, bitmapOf(picture));
    EXPECT_EQ(fake::state().count("CombineRgn"), 2u);
}

TEST_F(RegionFromBitmapTest, UnreadablePixelsLeaveTheRectangleWhole) {
    // Without pixels the zero-filled array would make the key of every pixel
    // and the window would vanish; the starting rectangle is kept instead.
    TestPicture picture(4, 3, kGrey);
    const platform::GdiObject bitmap = bitmapOf(picture);
    fake::state().script("GetDIBits", {0});
    const platform::GdiObject region = regionFromBitmap(window, kKeyFromPicture, bitmap);
    EXPECT_EQ(fake::state().count("CreateRectRgn"), 1u);
    EXPECT_EQ(fake::state().find("CreateRectRgn")->text(), "CreateRectRgn(4, 4, 8, 7)");
    EXPECT_EQ(fake::state().count("CombineRgn"), 0u);
    EXPECT_EQ(fake::state().names().back(), "ReleaseDC");
    EXPECT_EQ(fake::state().deletedObjects.count(region), 0u);
}

TEST_F(RegionFromBitmapTest, EmptyBitmapGivesTheEmptyStartingRectangle) {
    const TestPicture picture(0, 0, kGrey);
    const platform::GdiObject region = regionFromBitmap(window, kKeyFromPicture, bitmapOf(picture));
    EXPECT_NE(region, nullptr);
    EXPECT_EQ(fake::state().find("CreateRectRgn")->text(), "CreateRectRgn(4, 4, 4, 4)");
    EXPECT_EQ(fake::state().count("CombineRgn"), 0u);
    EXPECT_EQ(fake::state().count("ReleaseDC"), 1u);
}

TEST_F(RegionFromBitmapTest, ExplicitKeyIsReorderedOnTheWay) {
    TestPicture picture(2, 1, kGrey);
    picture.at(1, 0) = kRed;
    regionFromBitmap(window, 0x000000FF, bitmapOf(picture));
    EXPECT_EQ(fake::state().count("CombineRgn"), 1u);
    EXPECT_EQ(fake::state().find("CreateRectRgn", 1)->text(), "CreateRectRgn(5, 4, 6, 5)");
}

}  // namespace
