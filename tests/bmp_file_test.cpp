#include "capture/bmp_file.h"

#include <gtest/gtest.h>

#include <vector>

#include "capture_test_support.h"
#include "fake/fake_platform.h"
#include "fake_test_support.h"

namespace {

using capture_test::read16;
using capture_test::read32;

class BmpFileTest : public fake_test::FakeTest {
protected:
    // Rows filled with a non-zero pattern where the pixels are, zero padding.
    static std::vector<uint8_t> rows(int32_t width, int32_t height) {
        const uint64_t stride = bmpStride(width);
        std::vector<uint8_t> pixels(stride * static_cast<uint64_t>(height), 0);
        for (int32_t row = 0; row < height; ++row)
            for (int32_t byte = 0; byte < width * 3; ++byte)
                pixels[row * stride + byte] = static_cast<uint8_t>(1 + (row + byte) % 250);
        return pixels;
    }
};

TEST_F(BmpFileTest, ThePanelsGrabMakesAFileOf46230BytesWithEveryHeaderField) {
    const std::vector<uint8_t> pixels = rows(138, 111);
    ASSERT_EQ(bmpStride(138), 416u);
    ASSERT_EQ(pixels.size(), 46176u);
    ASSERT_TRUE(writeBmpFile("out.bmp", 138, 111, pixels.data(), 46176));

    const std::vector<uint8_t>& bytes = fake::state().files.at("out.bmp");
    ASSERT_EQ(bytes.size(), 46230u);
    EXPECT_EQ(bytes[0], 0x42);
    EXPECT_EQ(bytes[1], 0x4D);
    EXPECT_EQ(read32(bytes, 2), 46230u);   // bfSize
    EXPECT_EQ(read16(bytes, 6), 0u);       // bfReserved1
    EXPECT_EQ(read16(bytes, 8), 0u);       // bfReserved2
    EXPECT_EQ(read32(bytes, 10), 54u);     // bfOffBits
    EXPECT_EQ(read32(bytes, 14), 40u);     // biSize
    EXPECT_EQ(read32(bytes, 18), 138u);    // biWidth
    EXPECT_EQ(read32(bytes, 22), 111u);    // biHeight, positive
    EXPECT_EQ(read16(bytes, 26), 1u);      // biPlanes
    EXPECT_EQ(read16(bytes, 28), 24u);     // biBitCount
    EXPECT_EQ(read32(bytes, 30), 0u);      // BI_RGB
    EXPECT_EQ(read32(bytes, 34), 46176u);  // biSizeImage
    for (size_t at = 38; at < 54; at += 4) EXPECT_EQ(read32(bytes, at), 0u) << at;
    EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), bytes.begin() + 54));
    // 414 bytes of pixels, then two zero bytes, in every row.
    for (size_t row = 0; row < 111; ++row) {
        EXPECT_NE(bytes[54 + row * 416 + 413], 0) << row;
        EXPECT_EQ(bytes[54 + row * 416 + 414], 0) << row;
        EXPECT_EQ(bytes[54 + row * 416 + 415], 0) << row;
    }
}

TEST_F(BmpFileTest, OpensWithCreateAlwaysAndWritesHeadersAndRowsInThreeWrites) {
    const std::vector<uint8_t> pixels = rows(138, 111);
    ASSERT_TRUE(writeBmpFile("out.bmp", 138, 111, pixels.data(), 46176));
    EXPECT_EQ(fake::state().log(),
              (std::vector<std::string>{"CreateFileA(out.bmp, 0x40000000, 0x3, 2, 0x80)",
                                        "WriteFile(h4096, &, 14, &)", "WriteFile(h4096, &, 40, &)",
                                        "WriteFile(h4096, &, 46176, &)", "CloseHandle(h4096)"}));
}

TEST_F(BmpFileTest, EveryRowIsPaddedToFourBytesWhateverTheWidth) {
    struct Case {
        int32_t width;
        uint64_t stride;
    };
    // W % 4 = 0, 1, 2, 3: padding 0, 1, 2, 3 bytes.
    for (const Case c : {Case{4, 12}, Case{5, 16}, Case{6, 20}, Case{7, 24}, Case{1, 4}}) {
        SCOPED_TRACE(c.width);
        fake::reset();
        ASSERT_EQ(bmpStride(c.width), c.stride);
        const int32_t height = 3;
        const std::vector<uint8_t> pixels = rows(c.width, height);
        const uint32_t size = static_cast<uint32_t>(c.stride * height);
        ASSERT_TRUE(writeBmpFile("w.bmp", c.width, height, pixels.data(), size));
        const std::vector<uint8_t>& bytes = fake::state().files.at("w.bmp");
        ASSERT_EQ(bytes.size(), 54 + size);
        EXPECT_EQ(read32(bytes, 2), 54 + size);
        EXPECT_EQ(read32(bytes, 18), static_cast<uint32_t>(c.width));
        EXPECT_EQ(read32(bytes, 34), size);
        for (int32_t row = 0; row < height; ++row) {
            const size_t start = 54 + row * c.stride;
            EXPECT_NE(bytes[start + c.width * 3 - 1], 0);
            for (size_t pad = c.width * 3; pad < c.stride; ++pad)
                EXPECT_EQ(bytes[start + pad], 0) << row << " " << pad;
        }
    }
}

TEST_F(BmpFileTest, AFileThatCannotBeCreatedIsAFailureAndNothingIsWrittenOrClosed) {
    fake::state().unopenableFiles.insert("missing/out.bmp");
    const std::vector<uint8_t> pixels = rows(8, 2);
    EXPECT_FALSE(writeBmpFile("missing/out.bmp", 8, 2, pixels.data(), 48));
    EXPECT_EQ(fake::state().count("WriteFile"), 0u);
    EXPECT_EQ(fake::state().count("CloseHandle"), 0u);
}

TEST_F(BmpFileTest, AShortWriteAtAnyOfTheThreeWritesIsAFailureAndTheFileIsStillClosed) {
    const std::vector<uint8_t> pixels = rows(8, 2);
    for (size_t budget : {size_t{0}, size_t{13}, size_t{14}, size_t{53}, size_t{54}, size_t{101}}) {
        SCOPED_TRACE(budget);
        fake::reset();
        fake::state().writeBudget = budget;
        EXPECT_FALSE(writeBmpFile("full.bmp", 8, 2, pixels.data(), 48));
        EXPECT_EQ(fake::state().count("CloseHandle"), 1u);
        EXPECT_TRUE(fake::state().openFiles.empty());
    }
    fake::reset();
    fake::state().writeBudget = 54 + 48;  // exactly enough
    EXPECT_TRUE(writeBmpFile("full.bmp", 8, 2, pixels.data(), 48));
}

TEST_F(BmpFileTest, RefusesSizesThatDoNotDescribeTheImageWithoutTouchingAnyFile) {
    const std::vector<uint8_t> pixels = rows(8, 2);
    EXPECT_FALSE(writeBmpFile("x.bmp", 8, 2, pixels.data(), 47));
    EXPECT_FALSE(writeBmpFile("x.bmp", 0, 2, pixels.data(), 0));
    EXPECT_FALSE(writeBmpFile("x.bmp", 8, -2, pixels.data(), 48));
    EXPECT_FALSE(writeBmpFile("x.bmp", 8, 2, nullptr, 48));
    EXPECT_TRUE(fake::state().calls.empty());
    EXPECT_EQ(bmpImageSize(-1, 5), 0u);
    EXPECT_EQ(bmpImageSize(5, 0), 0u);
    // 30,000 × 30,000 pixels do not fit one file.
    EXPECT_GT(bmpImageSize(30000, 30000), kBmpMaxImageSize);
}

}  // namespace
