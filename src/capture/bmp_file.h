// 24-bit BMP files: the row layout, the two headers and the writer. Portable:
// the only platform calls are the file calls.
#pragma once

#include <array>
#include <cstdint>

inline constexpr uint32_t kBmpFileHeaderSize = 14;
inline constexpr uint32_t kBmpInfoHeaderSize = 40;
inline constexpr uint32_t kBmpPixelOffset = kBmpFileHeaderSize + kBmpInfoHeaderSize;
// The largest pixel block we write: the file length must fit a signed 32-bit number.
inline constexpr uint64_t kBmpMaxImageSize = 0x7FFFFFFFu - kBmpPixelOffset;

// Bytes of one row of `width` pixels: three per pixel, padded with zeros to a
// multiple of 4. 0 for a width of 0 or less.
uint64_t bmpStride(int64_t width);
// Bytes of the pixel rows of a width × height image; 0 when either is 0 or less.
uint64_t bmpImageSize(int64_t width, int64_t height);

struct BmpHeaders {
    std::array<uint8_t, kBmpFileHeaderSize> file{};
    std::array<uint8_t, kBmpInfoHeaderSize> info{};
};

// The file header ("BM", 54 + imageSize, 0, 0, 54) and the info header (40,
// width, height, 1 plane, 24 bits, BI_RGB, imageSize, the rest 0), little-endian.
BmpHeaders makeBmpHeaders(int32_t width, int32_t height, uint32_t imageSize);

// Writes the headers and the `imageSize` bytes of bottom-up padded rows to the
// file `name` (created, or emptied if it exists) with three writes, then closes
// it. Returns true only when the file was opened, every byte was written and
// the file was closed. Refuses (writes nothing) when the size does not match
// the width and height or the image is too large for one file.
bool writeBmpFile(const char* name, int32_t width, int32_t height, const uint8_t* pixels,
                  uint32_t imageSize);
