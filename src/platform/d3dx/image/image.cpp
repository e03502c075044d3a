#include "platform/d3dx/image/image.h"

#include <cmath>

#include "platform/d3dx/files.h"
#include "platform/d3dx/image/stb_decode.h"

namespace image {

namespace {
constexpr size_t kMaxFileBytes = size_t{256} << 20;
}

bool decodeImage(std::span<const uint8_t> file, Image& out, std::string& error) {
    if (file.size() >= 2 && file[0] == 'B' && file[1] == 'M') return decodeBmp(file, out, error);
    return decodeWithStb(file, out, error);
}

Image resized(const Image& source, uint32_t width, uint32_t height) {
    Image out;
    out.width = width;
    out.height = height;
    out.hasAlpha = source.hasAlpha;
    out.pixels.resize(size_t{width} * height);
    if (source.pixels.empty() || width == 0 || height == 0) return out;
    // Sample points at pixel centres, clamped to the edges.
    const auto at = [&](int64_t x, int64_t y) {
        x = x < 0 ? 0 : (x >= source.width ? source.width - 1 : x);
        y = y < 0 ? 0 : (y >= source.height ? source.height - 1 : y);
        return source.pixels[static_cast<size_t>(y) * source.width + static_cast<size_t>(x)];
    };
    for (uint32_t y = 0; y < height; ++y) {
        const double sy = (y + 0.5) * source.height / height - 0.5;
        const int64_t y0 = static_cast<int64_t>(std::floor(sy));
        const double fy = sy - static_cast<double>(y0);
        for (uint32_t x = 0; x < width; ++x) {
            const double sx = (x + 0.5) * source.width / width - 0.5;
            const int64_t x0 = static_cast<int64_t>(std::floor(sx));
            const double fx = sx - static_cast<double>(x0);
            const uint32_t p00 = at(x0, y0), p10 = at(x0 + 1, y0);
            const uint32_t p01 = at(x0, y0 + 1), p11 = at(x0 + 1, y0 + 1);
            uint32_t pixel = 0;
            for (int shift = 0; shift < 32; shift += 8) {
                const double top =
                    ((p00 >> shift) & 0xFF) * (1 - fx) + ((p10 >> shift) & 0xFF) * fx;
                const double bottom =
                    ((p01 >> shift) & 0xFF) * (1 - fx) + ((p11 >> shift) & 0xFF) * fx;
                pixel |= static_cast<uint32_t>(top * (1 - fy) + bottom * fy + 0.5) << shift;
            }
            out.pixels[size_t{y} * width + x] = pixel;
        }
    }
    return out;
}

Image resizedNearest(const Image& source, uint32_t width, uint32_t height) {
    Image out;
    out.width = width;
    out.height = height;
    out.hasAlpha = source.hasAlpha;
    out.pixels.resize(size_t{width} * height);
    if (source.pixels.empty() || width == 0 || height == 0) return out;
    // The source column of each column, worked out once rather than per pixel
    // (a picture is scaled on every reload of a model).
    std::vector<uint32_t> columns(width);
    for (uint32_t x = 0; x < width; ++x)
        columns[x] = static_cast<uint32_t>(uint64_t{x} * source.width / width);
    for (uint32_t y = 0; y < height; ++y) {
        const size_t sy = uint64_t{y} * source.height / height;
        const uint32_t* row = source.pixels.data() + sy * source.width;
        uint32_t* to = out.pixels.data() + size_t{y} * width;
        for (uint32_t x = 0; x < width; ++x) to[x] = row[columns[x]];
    }
    return out;
}

bool loadImageFile(const char* fileName, Image& out, std::string& error) {
    out = Image{};
    std::vector<uint8_t> bytes;
    if (fileName == nullptr ||
        !d3dx::readWholeFile(fileName, d3dx::NameEncoding::cp932, kMaxFileBytes, bytes)) {
        error = "cannot read the file";
        return false;
    }
    return decodeImage(bytes, out, error);
}

}  // namespace image
