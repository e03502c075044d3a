// Windows bitmaps, read with every size and offset checked against the file.
#include <bit>
#include <cstddef>
#include <cstdint>

#include "platform/d3dx/image/image.h"

namespace image {
namespace {

constexpr uint32_t kRgb = 0;
constexpr uint32_t kRle8 = 1;
constexpr uint32_t kRle4 = 2;
constexpr uint32_t kBitFields = 3;
constexpr uint32_t kAlphaBitFields = 6;
// RLE pictures may have no more than this many pixels per byte of their data
// (plus an allowance): runs can be very short.
constexpr uint64_t kRlePixelsPerByte = 256;
constexpr uint64_t kRleAllowance = uint64_t{1} << 20;

uint16_t u16(std::span<const uint8_t> f, size_t at) {
    return static_cast<uint16_t>(f[at] | (f[at + 1] << 8));
}
uint32_t u32(std::span<const uint8_t> f, size_t at) {
    return static_cast<uint32_t>(f[at]) | (static_cast<uint32_t>(f[at + 1]) << 8) |
           (static_cast<uint32_t>(f[at + 2]) << 16) | (static_cast<uint32_t>(f[at + 3]) << 24);
}

// One channel of a bit-field pixel, widened to 8 bits by repeating its bits
// (five bits abcde give abcdeabc), or cut to its top 8 bits.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    int bits = 0;  // 0 when the channel is absent

    explicit Channel(uint32_t m = 0) : mask(m) {
        if (m == 0) return;
        shift = std::countr_zero(m);
        bits = 32 - std::countl_zero(m >> shift);
    }
    uint32_t value(uint32_t pixel, uint32_t absent) const {
        if (bits == 0) return absent;
        const uint32_t v = (pixel & mask) >> shift;
        if (bits >= 8) return v >> (bits - 8);
        uint32_t out = 0;
        for (int filled = 0; filled < 8; filled += bits) out = out << bits | v;
        return (out >> (((8 + bits - 1) / bits) * bits - 8)) & 0xFF;
    }
};

bool fail(std::string& error, const char* message) {
    error = message;
    return false;
}

bool decode(std::span<const uint8_t> file, Image& out, std::string& error) {
    out = Image{};
    if (file.size() < 18 || file[0] != 'B' || file[1] != 'M') return fail(error, "not a BMP file");
    const uint32_t dataOffset = u32(file, 10);
    const uint32_t headerSize = u32(file, 14);
    if (headerSize < 12 || headerSize > file.size() - 14)
        return fail(error, "truncated BMP header");

    int64_t width = 0;
    int64_t height = 0;
    uint32_t bits = 0;
    uint32_t compression = kRgb;
    uint32_t colourCount = 0;
    size_t paletteEntrySize = 4;
    uint32_t masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
    size_t paletteStart = 14 + headerSize;
    if (headerSize == 12) {
        width = u16(file, 18);
        height = u16(file, 20);
        bits = u16(file, 24);
        paletteEntrySize = 3;
    } else {
        if (headerSize < 40) return fail(error, "unsupported BMP header");
        width = static_cast<int32_t>(u32(file, 18));
        height = static_cast<int32_t>(u32(file, 22));
        bits = u16(file, 28);
        compression = u32(file, 30);
        colourCount = u32(file, 46);
        if (compression == kBitFields || compression == kAlphaBitFields) {
            const size_t maskCount = compression == kAlphaBitFields ? 4 : 3;
            if (headerSize >= 40 + 4 * maskCount) {
                // Masks inside a longer header (version 3 and later).
                for (size_t i = 0; i < maskCount; ++i) masks[i] = u32(file, 54 + 4 * i);
                if (headerSize >= 56) masks[3] = u32(file, 66);
            } else {
                // Masks after a 40-byte header.
                if (file.size() - paletteStart < 4 * maskCount) {
                    return fail(error, "truncated BMP bit fields");
                }
                for (size_t i = 0; i < maskCount; ++i) masks[i] = u32(file, paletteStart + 4 * i);
                paletteStart += 4 * maskCount;
            }
        }
    }

    const bool topDown = height < 0;
    if (topDown) height = -height;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) {
        return fail(error, "unsupported BMP size");
    }
    if (static_cast<uint64_t>(width) * static_cast<uint64_t>(height) > kMaxPixels) {
        return fail(error, "BMP too large");
    }
    const bool paletted = bits == 1 || bits == 4 || bits == 8;
    if (!paletted && bits != 16 && bits != 24 && bits != 32) {
        return fail(error, "unsupported BMP bit count");
    }
    switch (compression) {
        case kRgb:
            break;
        case kRle8:
            if (bits != 8 || topDown) return fail(error, "malformed RLE8 BMP");
            break;
        case kRle4:
            if (bits != 4 || topDown) return fail(error, "malformed RLE4 BMP");
            break;
        case kBitFields:
        case kAlphaBitFields:
            if (bits != 16 && bits != 32) return fail(error, "bit fields need 16 or 32 bits");
            break;
        default:
            return fail(error, "unsupported BMP compression");
    }
    if (compression == kRgb && bits == 16) {
        masks[0] = 0x7C00;
        masks[1] = 0x03E0;
        masks[2] = 0x001F;
    } else if (compression == kRgb && bits == 32) {
        masks[0] = 0xFF0000;
        masks[1] = 0x00FF00;
        masks[2] = 0x0000FF;
    }

    // The palette: as many entries as declared (all for the bit count when
    // 0), as far as the file holds them before the pixels.
    uint32_t palette[256] = {};
    uint32_t paletteSize = 0;
    if (paletted) {
        const uint32_t full = 1u << bits;
        uint32_t wanted = colourCount == 0 || colourCount > full ? full : colourCount;
        // The palette ends where the pixels begin.
        const size_t room = dataOffset > paletteStart && dataOffset <= file.size()
                                ? (dataOffset - paletteStart) / paletteEntrySize
                                : 0;
        if (wanted > room) wanted = static_cast<uint32_t>(room);
        for (uint32_t i = 0; i < wanted; ++i) {
            const size_t at = paletteStart + i * paletteEntrySize;
            palette[i] = 0xFF000000u | (uint32_t{file[at + 2]} << 16) |
                         (uint32_t{file[at + 1]} << 8) | file[at];
        }
        paletteSize = wanted;
        if (paletteSize == 0) return fail(error, "BMP without its palette");
    }
    const auto colour = [&](uint32_t index) {
        return index < paletteSize ? palette[index] : 0xFF000000u;
    };

    if (dataOffset < paletteStart || dataOffset >= file.size()) {
        return fail(error, "BMP pixel data outside the file");
    }
    const std::span<const uint8_t> data = file.subspan(dataOffset);
    const uint32_t w = static_cast<uint32_t>(width);
    const uint32_t h = static_cast<uint32_t>(height);

    if (compression == kRle8 || compression == kRle4) {
        if (uint64_t{w} * h > data.size() * kRlePixelsPerByte + kRleAllowance) {
            return fail(error, "RLE BMP too large for its data");
        }
        out.pixels.assign(size_t{w} * h, colour(0));
        uint32_t x = 0;
        uint32_t y = 0;  // counted from the bottom row
        size_t at = 0;
        const auto put = [&](uint32_t index) {
            if (x < w && y < h) out.pixels[size_t{h - 1 - y} * w + x] = colour(index);
            ++x;
        };
        while (y < h) {
            if (data.size() - at < 2) break;  // a missing end counts as the end
            const uint32_t count = data[at];
            const uint32_t value = data[at + 1];
            at += 2;
            if (count > 0) {
                for (uint32_t i = 0; i < count; ++i) {
                    put(compression == kRle8 ? value : (i % 2 == 0 ? value >> 4 : value & 15));
                }
            } else if (value == 0) {
                x = 0;
                ++y;
            } else if (value == 1) {
                break;
            } else if (value == 2) {
                if (data.size() - at < 2) break;
                x += data[at];
                y += data[at + 1];
                at += 2;
            } else {
                const size_t bytes = compression == kRle8 ? value : (value + 1) / 2;
                const size_t padded = bytes + (bytes & 1);
                if (data.size() - at < padded) return fail(error, "truncated RLE BMP");
                for (uint32_t i = 0; i < value; ++i) {
                    const uint8_t byte = data[at + (compression == kRle8 ? i : i / 2)];
                    put(compression == kRle8 ? byte : (i % 2 == 0 ? byte >> 4 : byte & 15));
                }
                at += padded;
            }
        }
        out.width = w;
        out.height = h;
        return true;
    }

    const uint64_t rowBytes = (uint64_t{w} * bits + 7) / 8;
    const uint64_t stride = (uint64_t{w} * bits + 31) / 32 * 4;
    // The last row may come without its padding.
    if ((h - 1) * stride + rowBytes > data.size()) return fail(error, "truncated BMP pixel data");

    const Channel red(masks[0]);
    const Channel green(masks[1]);
    const Channel blue(masks[2]);
    const Channel alpha(masks[3]);
    out.hasAlpha = masks[3] != 0;
    out.pixels.resize(size_t{w} * h);
    for (uint32_t row = 0; row < h; ++row) {
        const uint8_t* p = data.data() + row * stride;
        uint32_t* target = out.pixels.data() + size_t{topDown ? row : h - 1 - row} * w;
        for (uint32_t x = 0; x < w; ++x) {
            uint32_t pixel;
            switch (bits) {
                case 1:
                    target[x] = colour((p[x / 8] >> (7 - x % 8)) & 1);
                    continue;
                case 4:
                    target[x] = colour((p[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 15);
                    continue;
                case 8:
                    target[x] = colour(p[x]);
                    continue;
                case 24:
                    target[x] = 0xFF000000u | (uint32_t{p[3 * x + 2]} << 16) |
                                (uint32_t{p[3 * x + 1]} << 8) | p[3 * x];
                    continue;
                case 16:
                    pixel = static_cast<uint32_t>(p[2 * x] | (p[2 * x + 1] << 8));
                    break;
                default:
                    pixel = static_cast<uint32_t>(p[4 * x]) | (uint32_t{p[4 * x + 1]} << 8) |
                            (uint32_t{p[4 * x + 2]} << 16) | (uint32_t{p[4 * x + 3]} << 24);
                    break;
            }
            target[x] = alpha.value(pixel, 255) << 24 | red.value(pixel, 0) << 16 |
                        green.value(pixel, 0) << 8 | blue.value(pixel, 0);
        }
    }
    // An alpha field that is zero everywhere is taken as no alpha at all: such
    // files are opaque pictures written by tools that leave the field empty.
    if (out.hasAlpha) {
        bool anyAlpha = false;
        for (const uint32_t pixel : out.pixels) anyAlpha = anyAlpha || (pixel >> 24) != 0;
        if (!anyAlpha) {
            out.hasAlpha = false;
            for (uint32_t& pixel : out.pixels) pixel |= 0xFF000000u;
        }
    }
    out.width = w;
    out.height = h;
    return true;
}

}  // namespace

bool decodeBmp(std::span<const uint8_t> file, Image& out, std::string& error) {
    const bool ok = decode(file, out, error);
    if (!ok) out = Image{};
    return ok;
}

}  // namespace image
