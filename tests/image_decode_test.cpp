// Texture pictures: our BMP decoder and the PNG, JPEG and TGA decoder, on the
// corpus of tools/make-image-corpus.py and on bitmaps built here.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "platform/d3dx/image/image.h"
#include "xfile_test_support.h"

namespace {

std::vector<uint8_t> picture(const std::string& name) {
    return xtest::fileBytes(xtest::dataDir() / "images" / name);
}

// The corpus pattern, top row first, as 0xAARRGGBB with its alpha.
constexpr uint32_t kPattern[3][5] = {
    {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000},
    {0x0A141E, 0xC86432, 0x00FFFF, 0xFF00FF, 0x808080},
    {0x000000, 0x404040, 0x808080, 0xC0C0C0, 0xFFFFFF},
};
constexpr uint32_t kAlpha[5] = {255, 128, 0, 64, 200};

uint32_t channel(uint32_t pixel, int shift) { return (pixel >> shift) & 0xFF; }

image::Image decode(const std::vector<uint8_t>& bytes) {
    image::Image out;
    std::string error;
    EXPECT_TRUE(image::decodeImage(bytes, out, error)) << error;
    return out;
}

void expectPattern(const image::Image& img, bool alpha, int tolerance = 0,
                   uint32_t (*expected)(uint32_t) = nullptr) {
    ASSERT_EQ(img.width, 5u);
    ASSERT_EQ(img.height, 3u);
    ASSERT_EQ(img.pixels.size(), 15u);
    EXPECT_EQ(img.hasAlpha, alpha);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            const uint32_t rgb = expected ? expected(kPattern[y][x]) : kPattern[y][x];
            const uint32_t want = (alpha ? kAlpha[x] : 255u) << 24 | rgb;
            const uint32_t got = img.pixels[static_cast<size_t>(y) * 5 + x];
            for (const int shift : {0, 8, 16, 24}) {
                EXPECT_LE(std::abs(static_cast<int>(channel(got, shift)) -
                                   static_cast<int>(channel(want, shift))),
                          tolerance)
                    << "pixel " << x << "," << y << " got " << std::hex << got << " want " << want;
            }
        }
    }
}

// ---------------------------------------------------------------------------
// The corpus

TEST(ImageCorpusTest, LosslessFormatsGiveThePatternExactly) {
    for (const char* name :
         {"pattern.png", "pattern.tga", "pattern_24.bmp", "pattern_24_top_down.bmp",
          "pattern_32.bmp", "pattern_8.bmp", "pattern_4.bmp", "pattern_rle8.bmp"}) {
        SCOPED_TRACE(name);
        expectPattern(decode(picture(name)), false);
    }
    for (const char* name :
         {"pattern_alpha.png", "pattern_alpha_rle.tga", "pattern_32_alpha.bmp"}) {
        SCOPED_TRACE(name);
        expectPattern(decode(picture(name)), true);
    }
}

TEST(ImageCorpusTest, JpegWithinItsLoss) {
    expectPattern(decode(picture("pattern.jpg")), false, 40);
}

TEST(ImageCorpusTest, FiveSixFiveWidensEachFieldByRepeatingItsBits) {
    expectPattern(decode(picture("pattern_565.bmp")), false, 0, [](uint32_t rgb) {
        const uint32_t r = (rgb >> 19) & 31, g = (rgb >> 10) & 63, b = (rgb >> 3) & 31;
        return (r << 3 | r >> 2) << 16 | (g << 2 | g >> 4) << 8 | (b << 3 | b >> 2);
    });
}

TEST(ImageCorpusTest, OneBitPaletteIsBlackAndWhite) {
    const image::Image img = decode(picture("pattern_1.bmp"));
    EXPECT_EQ(img.pixels[0], 0xFF000000u);   // red: dark
    EXPECT_EQ(img.pixels[3], 0xFFFFFFFFu);   // white
    EXPECT_EQ(img.pixels[14], 0xFFFFFFFFu);  // white
}

TEST(ImageCorpusTest, FilesLoadByName) {
    image::Image img;
    std::string error;
    const std::string path = (xtest::dataDir() / "images" / "pattern_24.bmp").string();
    ASSERT_TRUE(image::loadImageFile(path.c_str(), img, error)) << error;
    EXPECT_EQ(img.width, 5u);
    EXPECT_FALSE(image::loadImageFile("/nonexistent.bmp", img, error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(img.pixels.empty());
}

TEST(ImageCorpusTest, UnknownContentFailsWithAReason) {
    for (const std::string& bytes : {std::string(), std::string("GIF89a...."),
                                     std::string("\x89PNG\r\n\x1a\n", 8), std::string("BM")}) {
        image::Image img;
        std::string error;
        EXPECT_FALSE(image::decodeImage(xtest::bytesOf(bytes), img, error));
        EXPECT_FALSE(error.empty());
    }
}

// ---------------------------------------------------------------------------
// Bitmaps built here

struct Bmp {
    uint32_t headerSize = 40;
    int32_t width = 2;
    int32_t height = 2;
    uint16_t bits = 24;
    uint32_t compression = 0;
    uint32_t colours = 0;
    std::vector<uint8_t> extra;  // bit fields after the header, palette
    std::vector<uint8_t> pixels;
    int64_t offsetAdjustment = 0;

    std::vector<uint8_t> bytes() const {
        std::vector<uint8_t> out{'B', 'M'};
        const auto u16 = [&out](uint32_t v) {
            out.push_back(static_cast<uint8_t>(v));
            out.push_back(static_cast<uint8_t>(v >> 8));
        };
        const auto u32 = [&](uint32_t v) {
            u16(v & 0xFFFF);
            u16(v >> 16);
        };
        const uint32_t offset =
            static_cast<uint32_t>(14 + headerSize + extra.size() + offsetAdjustment);
        u32(static_cast<uint32_t>(offset + pixels.size()));
        u32(0);
        u32(offset);
        u32(headerSize);
        if (headerSize == 12) {
            u16(static_cast<uint32_t>(width));
            u16(static_cast<uint32_t>(height));
            u16(1);
            u16(bits);
        } else {
            u32(static_cast<uint32_t>(width));
            u32(static_cast<uint32_t>(height));
            u16(1);
            u16(bits);
            u32(compression);
            u32(0);
            u32(2835);
            u32(2835);
            u32(colours);
            u32(0);
            out.resize(14 + headerSize, 0);
        }
        out.insert(out.end(), extra.begin(), extra.end());
        out.insert(out.end(), pixels.begin(), pixels.end());
        return out;
    }
};

std::vector<uint8_t> quads(std::initializer_list<uint32_t> values) {
    std::vector<uint8_t> out;
    for (const uint32_t v : values) {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
    return out;
}

image::Image decodeBmp(const Bmp& bmp) {
    image::Image img;
    std::string error;
    EXPECT_TRUE(image::decodeBmp(bmp.bytes(), img, error)) << error;
    return img;
}

std::string bmpError(const Bmp& bmp) {
    image::Image img;
    std::string error;
    EXPECT_FALSE(image::decodeBmp(bmp.bytes(), img, error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(img.pixels.empty());
    return error;
}

TEST(BmpDecodeTest, CoreHeaderWithThreeBytePalette) {
    Bmp bmp;
    bmp.headerSize = 12;
    bmp.bits = 8;
    bmp.extra = {0, 0, 255, 255, 0, 0};  // red, blue
    bmp.pixels = {0, 1, 0, 0, 1, 0, 0, 0};
    const image::Image img = decodeBmp(bmp);
    // The bottom row comes first in the file: red, blue; the top row blue, red.
    EXPECT_EQ(img.pixels, (std::vector<uint32_t>{0xFF0000FF, 0xFFFF0000, 0xFFFF0000, 0xFF0000FF}));
}

TEST(BmpDecodeTest, SixteenBitsWithoutFieldsAreFiveFiveFive) {
    Bmp bmp;
    bmp.bits = 16;
    bmp.height = 1;
    bmp.pixels = {0x00, 0x7C, 0x1F, 0x00};  // red, blue
    EXPECT_EQ(decodeBmp(bmp).pixels, (std::vector<uint32_t>{0xFFFF0000, 0xFF0000FF}));
}

TEST(BmpDecodeTest, BitFieldsOfAnyWidth) {
    // 2:10:10:10 with alpha in the top bits, in a version 3 header.
    Bmp bmp;
    bmp.headerSize = 56;
    bmp.bits = 32;
    bmp.compression = 3;
    bmp.width = 1;
    bmp.height = 1;
    bmp.pixels = quads({0x3FFu << 20 | 0x200u << 10 | 0u | 2u << 30});
    std::vector<uint8_t> bytes = bmp.bytes();
    const std::vector<uint8_t> masks = quads({0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000});
    std::copy(masks.begin(), masks.end(), bytes.begin() + 54);
    image::Image img;
    std::string error;
    ASSERT_TRUE(image::decodeBmp(bytes, img, error)) << error;
    EXPECT_TRUE(img.hasAlpha);
    EXPECT_EQ(img.pixels[0], 0xAAFF8000u);  // alpha 10 -> 10101010, red full, green top 8 bits
}

TEST(BmpDecodeTest, EmptyAlphaFieldMeansOpaque) {
    Bmp bmp;
    bmp.bits = 32;
    bmp.compression = 6;  // alpha bit fields after the header
    bmp.width = 1;
    bmp.height = 1;
    bmp.extra = quads({0xFF0000, 0xFF00, 0xFF, 0xFF000000});
    bmp.pixels = quads({0x00123456});
    const image::Image img = decodeBmp(bmp);
    EXPECT_FALSE(img.hasAlpha);
    EXPECT_EQ(img.pixels[0], 0xFF123456u);
}

TEST(BmpDecodeTest, PaletteShorterThanItsIndicesGivesBlack) {
    Bmp bmp;
    bmp.bits = 8;
    bmp.height = 1;
    bmp.colours = 1;
    bmp.extra = quads({0x00FFFFFF});
    bmp.pixels = {0, 200, 0, 0};
    EXPECT_EQ(decodeBmp(bmp).pixels, (std::vector<uint32_t>{0xFFFFFFFF, 0xFF000000}));
}

TEST(BmpDecodeTest, PaletteThatRunsIntoThePixelsIsCutThere) {
    Bmp bmp;
    bmp.bits = 8;
    bmp.height = 1;
    bmp.colours = 256;                  // claims 256 entries, holds 2
    bmp.extra = quads({0xFF, 0xFF00});  // blue, green
    bmp.pixels = {1, 2, 0, 0};
    EXPECT_EQ(decodeBmp(bmp).pixels, (std::vector<uint32_t>{0xFF00FF00, 0xFF000000}));
}

TEST(BmpDecodeTest, LastRowMayLackItsPadding) {
    Bmp bmp;
    bmp.width = 1;
    bmp.pixels = {1, 2, 3, 0, 4, 5, 6};  // second row without its padding byte
    const image::Image img = decodeBmp(bmp);
    EXPECT_EQ(img.pixels, (std::vector<uint32_t>{0xFF060504, 0xFF030201}));
    bmp.pixels.pop_back();
    bmpError(bmp);
}

TEST(BmpDecodeTest, Rle4WithRunsAbsoluteRunsAndDeltas) {
    Bmp bmp;
    bmp.bits = 4;
    bmp.compression = 2;
    bmp.width = 6;
    bmp.height = 2;
    bmp.colours = 3;
    bmp.extra = quads({0x000000, 0xFF0000, 0x0000FF});
    // Row 0: a run of three alternating 1,2; an absolute run 2,1,2 (padded).
    // End of the row, a delta of (1, 0) and a run of one 1; end of bitmap.
    bmp.pixels = {3, 0x12, 0, 3, 0x21, 0x20, 0, 0, 0, 2, 1, 0, 1, 0x10, 0, 1};
    const image::Image img = decodeBmp(bmp);
    const uint32_t k = 0xFF000000, r = 0xFFFF0000, b = 0xFF0000FF;
    // Top row is file row 1: black up to x 1, red there.
    EXPECT_EQ(img.pixels, (std::vector<uint32_t>{k, r, k, k, k, k, r, b, r, b, r, b}));
}

TEST(BmpDecodeTest, Rle8RunsBeyondTheRowAreClipped) {
    Bmp bmp;
    bmp.bits = 8;
    bmp.compression = 1;
    bmp.width = 2;
    bmp.height = 1;
    bmp.extra = quads({0x000000, 0xFFFFFF});
    bmp.pixels = {255, 1, 0, 1};
    EXPECT_EQ(decodeBmp(bmp).pixels, (std::vector<uint32_t>{0xFFFFFFFF, 0xFFFFFFFF}));
    bmp.pixels = {0, 5, 1, 1};  // an absolute run cut short
    bmpError(bmp);
}

TEST(BmpDecodeTest, WhatCannotBeReadFails) {
    Bmp good;
    good.pixels.assign(16, 0);
    for (const auto& change : std::vector<void (*)(Bmp&)>{
             [](Bmp& b) { b.width = 0; }, [](Bmp& b) { b.height = 0; },
             [](Bmp& b) { b.width = -2; }, [](Bmp& b) { b.width = 20000; },
             [](Bmp& b) { b.height = -20000; }, [](Bmp& b) { b.bits = 7; },
             [](Bmp& b) { b.compression = 4; },  // JPEG inside
             [](Bmp& b) { b.compression = 1; },  // RLE8 needs 8 bits
             [](Bmp& b) { b.compression = 3; },  // fields need 16 or 32 bits
             [](Bmp& b) {
                 b.bits = 8;
                 b.compression = 1;
                 b.height = -2;
                 b.extra = quads({0});
             },
             [](Bmp& b) { b.headerSize = 30; }, [](Bmp& b) { b.offsetAdjustment = 1000; },
             [](Bmp& b) { b.offsetAdjustment = -30; },
             [](Bmp& b) {
                 b.width = 4000;
                 b.height = 4000;
             },                           // far more than the file holds
             [](Bmp& b) { b.bits = 8; },  // no palette at all
         }) {
        Bmp bmp = good;
        change(bmp);
        bmpError(bmp);
    }
    // A large picture in a short RLE file.
    Bmp rle;
    rle.bits = 8;
    rle.compression = 1;
    rle.width = 8192;
    rle.height = 8192;
    rle.extra = quads({0});
    rle.pixels = {0, 1};
    bmpError(rle);
}

// ---------------------------------------------------------------------------
// Resizing, for devices that want other texture sizes

TEST(ImageResizeTest, SameSizeKeepsEveryPixel) {
    const image::Image img = decode(picture("pattern_alpha.png"));
    const image::Image same = image::resized(img, img.width, img.height);
    EXPECT_EQ(same.pixels, img.pixels);
    EXPECT_TRUE(same.hasAlpha);
}

TEST(ImageResizeTest, DoublingInterpolatesBetweenPixelCentres) {
    image::Image img;
    img.width = 2;
    img.height = 1;
    img.pixels = {0xFF000000, 0xFFFFFFFF};
    const image::Image big = image::resized(img, 4, 2);
    ASSERT_EQ(big.pixels.size(), 8u);
    // Centres at 0.5, 1.5, 2.5, 3.5 map to -0.25, 0.25, 0.75, 1.25: clamped
    // black, a quarter, three quarters, clamped white.
    EXPECT_EQ(big.pixels[0], 0xFF000000u);
    EXPECT_EQ(big.pixels[1], 0xFF404040u);
    EXPECT_EQ(big.pixels[2], 0xFFBFBFBFu);
    EXPECT_EQ(big.pixels[3], 0xFFFFFFFFu);
    EXPECT_EQ(big.pixels[7], 0xFFFFFFFFu);
    EXPECT_TRUE(image::resized(img, 0, 5).pixels.empty());
}

TEST(ImageResizeTest, NearestTakesThePixelUnderEachTopLeftCorner) {
    image::Image img;
    img.width = 3;
    img.height = 2;
    img.pixels = {1, 2, 3, 4, 5, 6};
    const image::Image big = image::resizedNearest(img, 4, 4);
    // x: 0, 0.75, 1.5, 2.25 -> 0, 0, 1, 2; y: 0, 0.5, 1, 1.5 -> 0, 0, 1, 1.
    EXPECT_EQ(big.pixels, (std::vector<uint32_t>{1, 1, 2, 3, 1, 1, 2, 3, 4, 4, 5, 6, 4, 4, 5, 6}));
    const image::Image small = image::resizedNearest(img, 2, 1);
    EXPECT_EQ(small.pixels, (std::vector<uint32_t>{1, 2}));
}

// ---------------------------------------------------------------------------
// Bad input

void decodeAnything(const std::vector<uint8_t>& bytes) {
    image::Image img;
    std::string error;
    if (image::decodeImage(bytes, img, error)) {
        ASSERT_GT(img.width, 0u);
        ASSERT_EQ(img.pixels.size(), size_t{img.width} * img.height);
    } else {
        ASSERT_FALSE(error.empty());
    }
}

TEST(ImageBadInputTest, DamagedFilesTheFuzzTargetsFound) {
    // Each of these once made the decoder misbehave.
    for (const auto& entry :
         std::filesystem::directory_iterator(xtest::dataDir() / "images" / "damaged")) {
        SCOPED_TRACE(entry.path().filename().string());
        decodeAnything(xtest::fileBytes(entry.path()));
    }
}

TEST(ImageBadInputTest, EveryTruncationAndRandomChanges) {
    std::mt19937 random(462);
    for (const char* name :
         {"pattern_24.bmp", "pattern_32_alpha.bmp", "pattern_565.bmp", "pattern_8.bmp",
          "pattern_4.bmp", "pattern_1.bmp", "pattern_rle8.bmp", "pattern.png", "pattern.tga",
          "pattern_alpha_rle.tga", "pattern.jpg"}) {
        SCOPED_TRACE(name);
        const std::vector<uint8_t> file = picture(name);
        for (size_t length = 0; length < file.size(); ++length) {
            decodeAnything(std::vector<uint8_t>(file.begin(), file.begin() + length));
        }
        for (int round = 0; round < 2000; ++round) {
            std::vector<uint8_t> changed = file;
            for (int i = 0; i < 1 + static_cast<int>(random() % 3); ++i) {
                changed[2 + random() % (changed.size() - 2)] = static_cast<uint8_t>(random());
            }
            decodeAnything(changed);
        }
    }
}

}  // namespace
