// Pictures for textures: decoded to 32-bit pixels in the device's A8R8G8B8
// layout (0xAARRGGBB, rows top-down). BMP is decoded here; PNG, JPEG and TGA
// through stb_image.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace image {

struct Image {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint32_t> pixels;  // width * height, top row first
    bool hasAlpha = false;         // false: every alpha is 0xFF (an X8R8G8B8 picture)
};

// Largest width or height, and most pixels, accepted.
constexpr uint32_t kMaxSide = 16384;
constexpr uint64_t kMaxPixels = uint64_t{1} << 25;

// A Windows bitmap: core (OS/2) and info headers of any version; 1, 4 and 8
// bits with a palette, 16 bits (555, or bit fields such as 565), 24 bits, 32
// bits (alpha only with an alpha bit field); rows bottom-up or top-down.
// RLE8 and RLE4 are read too. Palette indices beyond the palette are black.
bool decodeBmp(std::span<const uint8_t> file, Image& out, std::string& error);

// Any supported format, told by its content.
bool decodeImage(std::span<const uint8_t> file, Image& out, std::string& error);

// The picture scaled to `width` by `height` (each at least 1), bilinearly.
Image resized(const Image& source, uint32_t width, uint32_t height);

// The picture scaled to `width` by `height` by taking for each pixel the
// source pixel its top-left corner falls in (x * source width / width), as the
// graphics library's point filter does: how textures are brought to powers
// of two.
Image resizedNearest(const Image& source, uint32_t width, uint32_t height);

// Reads the file `fileName` names (code page 932, d3dx/files.h).
bool loadImageFile(const char* fileName, Image& out, std::string& error);

}  // namespace image
