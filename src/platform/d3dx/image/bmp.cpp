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

// What the file header and the bitmap header say of the picture.
struct Header {
    uint32_t dataOffset = 0;
    int64_t width = 0;
    int64_t height = 0;  // positive once the rows' order is in `topDown`
    bool topDown = false;
    uint32_t bits = 0;
    uint32_t compression = kRgb;
    uint32_t colourCount = 0;
    size_t paletteStart = 0;
    size_t paletteEntrySize = 4;
    uint32_t masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
};

bool isPaletted(uint32_t bits) { return bits == 1 || bits == 4 || bits == 8; }

// The colour table of a paletted picture.
struct Palette {
    uint32_t entries[256] = {};
    uint32_t size = 0;

    uint32_t colour(uint32_t index) const { return index < size ? entries[index] : 0xFF000000u; }
};

// The bit-field masks of an info header.
bool readMasks(std::span<const uint8_t> file, uint32_t headerSize, Header& header,
               std::string& error) {
    const size_t maskCount = header.compression == kAlphaBitFields ? 4 : 3;
    if (headerSize >= 40 + 4 * maskCount) {
        // Masks inside a longer header (version 3 and later).
        for (size_t i = 0; i < maskCount; ++i) header.masks[i] = u32(file, 54 + 4 * i);
        if (headerSize >= 56) header.masks[3] = u32(file, 66);
        return true;
    }
    // Masks after a 40-byte header.
    if (file.size() - header.paletteStart < 4 * maskCount) {
        return fail(error, "truncated BMP bit fields");
    }
    for (size_t i = 0; i < maskCount; ++i) header.masks[i] = u32(file, header.paletteStart + 4 * i);
    header.paletteStart += 4 * maskCount;
    return true;
}

// The file header and the core (OS/2) or info header of any version.
bool readHeader(std::span<const uint8_t> file, Header& header, std::string& error) {
    if (file.size() < 18 || file[0] != 'B' || file[1] != 'M') return fail(error, "not a BMP file");
    header.dataOffset = u32(file, 10);
    const uint32_t headerSize = u32(file, 14);
    if (headerSize < 12 || headerSize > file.size() - 14)
        return fail(error, "truncated BMP header");
    header.paletteStart = 14 + headerSize;
    if (headerSize == 12) {
        header.width = u16(file, 18);
        header.height = u16(file, 20);
        header.bits = u16(file, 24);
        header.paletteEntrySize = 3;
        return true;
    }
    if (headerSize < 40) return fail(error, "unsupported BMP header");
    header.width = static_cast<int32_t>(u32(file, 18));
    header.height = static_cast<int32_t>(u32(file, 22));
    header.bits = u16(file, 28);
    header.compression = u32(file, 30);
    header.colourCount = u32(file, 46);
    if (header.compression == kBitFields || header.compression == kAlphaBitFields) {
        return readMasks(file, headerSize, header, error);
    }
    return true;
}

// Size, bit count and compression within what is read; the masks of
// uncompressed 16- and 32-bit pictures.
bool checkFormat(Header& header, std::string& error) {
    header.topDown = header.height < 0;
    if (header.topDown) header.height = -header.height;
    const int64_t width = header.width;
    const int64_t height = header.height;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) {
        return fail(error, "unsupported BMP size");
    }
    if (static_cast<uint64_t>(width) * static_cast<uint64_t>(height) > kMaxPixels) {
        return fail(error, "BMP too large");
    }
    const uint32_t bits = header.bits;
    if (!isPaletted(bits) && bits != 16 && bits != 24 && bits != 32) {
        return fail(error, "unsupported BMP bit count");
    }
    switch (header.compression) {
        case kRgb:
            break;
        case kRle8:
            if (bits != 8 || header.topDown) return fail(error, "malformed RLE8 BMP");
            break;
        case kRle4:
            if (bits != 4 || header.topDown) return fail(error, "malformed RLE4 BMP");
            break;
        case kBitFields:
        case kAlphaBitFields:
            if (bits != 16 && bits != 32) return fail(error, "bit fields need 16 or 32 bits");
            break;
        default:
            return fail(error, "unsupported BMP compression");
    }
    uint32_t* masks = header.masks;
    if (header.compression == kRgb && bits == 16) {
        masks[0] = 0x7C00;
        masks[1] = 0x03E0;
        masks[2] = 0x001F;
    } else if (header.compression == kRgb && bits == 32) {
        masks[0] = 0xFF0000;
        masks[1] = 0x00FF00;
        masks[2] = 0x0000FF;
    }
    return true;
}

// The palette: as many entries as declared (all for the bit count when 0),
// as far as the file holds them before the pixels.
bool readPalette(std::span<const uint8_t> file, const Header& header, Palette& palette,
                 std::string& error) {
    const uint32_t full = 1u << header.bits;
    const uint32_t colourCount = header.colourCount;
    uint32_t wanted = colourCount == 0 || colourCount > full ? full : colourCount;
    // The palette ends where the pixels begin.
    const size_t room = header.dataOffset > header.paletteStart && header.dataOffset <= file.size()
                            ? (header.dataOffset - header.paletteStart) / header.paletteEntrySize
                            : 0;
    if (wanted > room) wanted = static_cast<uint32_t>(room);
    for (uint32_t i = 0; i < wanted; ++i) {
        const size_t at = header.paletteStart + i * header.paletteEntrySize;
        palette.entries[i] =
            0xFF000000u | (uint32_t{file[at + 2]} << 16) | (uint32_t{file[at + 1]} << 8) | file[at];
    }
    palette.size = wanted;
    if (palette.size == 0) return fail(error, "BMP without its palette");
    return true;
}

// RLE8 and RLE4 runs, rows counted from the bottom; what no run reaches has
// colour 0.
bool decodeRle(std::span<const uint8_t> data, const Header& header, const Palette& palette,
               Image& out, std::string& error) {
    const uint32_t w = static_cast<uint32_t>(header.width);
    const uint32_t h = static_cast<uint32_t>(header.height);
    const bool rle8 = header.compression == kRle8;
    if (uint64_t{w} * h > data.size() * kRlePixelsPerByte + kRleAllowance) {
        return fail(error, "RLE BMP too large for its data");
    }
    out.pixels.assign(size_t{w} * h, palette.colour(0));
    uint32_t x = 0;
    uint32_t y = 0;  // counted from the bottom row
    size_t at = 0;
    const auto put = [&](uint32_t index) {
        if (x < w && y < h) out.pixels[size_t{h - 1 - y} * w + x] = palette.colour(index);
        ++x;
    };
    while (y < h) {
        if (data.size() - at < 2) break;  // a missing end counts as the end
        const uint32_t count = data[at];
        const uint32_t value = data[at + 1];
        at += 2;
        if (count > 0) {
            for (uint32_t i = 0; i < count; ++i) {
                put(rle8 ? value : (i % 2 == 0 ? value >> 4 : value & 15));
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
            const size_t bytes = rle8 ? value : (value + 1) / 2;
            const size_t padded = bytes + (bytes & 1);
            if (data.size() - at < padded) return fail(error, "truncated RLE BMP");
            for (uint32_t i = 0; i < value; ++i) {
                const uint8_t byte = data[at + (rle8 ? i : i / 2)];
                put(rle8 ? byte : (i % 2 == 0 ? byte >> 4 : byte & 15));
            }
            at += padded;
        }
    }
    return true;
}

struct Channels {
    Channel red;
    Channel green;
    Channel blue;
    Channel alpha;
};

// Pixel x of an uncompressed row of `bits` bits per pixel, as 0xAARRGGBB.
uint32_t pixelAt(const uint8_t* p, uint32_t x, uint32_t bits, const Palette& palette,
                 const Channels& channels) {
    uint32_t pixel;
    switch (bits) {
        case 1:
            return palette.colour((p[x / 8] >> (7 - x % 8)) & 1);
        case 4:
            return palette.colour((p[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 15);
        case 8:
            return palette.colour(p[x]);
        case 24:
            return 0xFF000000u | (uint32_t{p[3 * x + 2]} << 16) | (uint32_t{p[3 * x + 1]} << 8) |
                   p[3 * x];
        case 16:
            pixel = static_cast<uint32_t>(p[2 * x] | (p[2 * x + 1] << 8));
            break;
        default:
            pixel = static_cast<uint32_t>(p[4 * x]) | (uint32_t{p[4 * x + 1]} << 8) |
                    (uint32_t{p[4 * x + 2]} << 16) | (uint32_t{p[4 * x + 3]} << 24);
            break;
    }
    return channels.alpha.value(pixel, 255) << 24 | channels.red.value(pixel, 0) << 16 |
           channels.green.value(pixel, 0) << 8 | channels.blue.value(pixel, 0);
}

// An alpha field that is zero everywhere is taken as no alpha at all: such
// files are opaque pictures written by tools that leave the field empty.
void dropEmptyAlpha(Image& out) {
    if (!out.hasAlpha) return;
    bool anyAlpha = false;
    for (const uint32_t pixel : out.pixels) anyAlpha = anyAlpha || (pixel >> 24) != 0;
    if (!anyAlpha) {
        out.hasAlpha = false;
        for (uint32_t& pixel : out.pixels) pixel |= 0xFF000000u;
    }
}

// Uncompressed rows, bottom-up or top-down, each padded to four bytes.
bool decodeRows(std::span<const uint8_t> data, const Header& header, const Palette& palette,
                Image& out, std::string& error) {
    const uint32_t w = static_cast<uint32_t>(header.width);
    const uint32_t h = static_cast<uint32_t>(header.height);
    const uint32_t bits = header.bits;
    const uint64_t rowBytes = (uint64_t{w} * bits + 7) / 8;
    const uint64_t stride = (uint64_t{w} * bits + 31) / 32 * 4;
    // The last row may come without its padding.
    if ((h - 1) * stride + rowBytes > data.size()) return fail(error, "truncated BMP pixel data");

    const Channels channels{Channel(header.masks[0]), Channel(header.masks[1]),
                            Channel(header.masks[2]), Channel(header.masks[3])};
    out.hasAlpha = header.masks[3] != 0;
    out.pixels.resize(size_t{w} * h);
    for (uint32_t row = 0; row < h; ++row) {
        const uint8_t* p = data.data() + row * stride;
        uint32_t* target = out.pixels.data() + size_t{header.topDown ? row : h - 1 - row} * w;
        for (uint32_t x = 0; x < w; ++x) target[x] = pixelAt(p, x, bits, palette, channels);
    }
    dropEmptyAlpha(out);
    return true;
}

bool decode(std::span<const uint8_t> file, Image& out, std::string& error) {
    out = Image{};
    Header header;
    if (!readHeader(file, header, error) || !checkFormat(header, error)) return false;
    Palette palette;
    if (isPaletted(header.bits) && !readPalette(file, header, palette, error)) return false;
    if (header.dataOffset < header.paletteStart || header.dataOffset >= file.size()) {
        return fail(error, "BMP pixel data outside the file");
    }
    const std::span<const uint8_t> data = file.subspan(header.dataOffset);
    const bool rle = header.compression == kRle8 || header.compression == kRle4;
    if (rle ? !decodeRle(data, header, palette, out, error)
            : !decodeRows(data, header, palette, out, error)) {
        return false;
    }
    out.width = static_cast<uint32_t>(header.width);
    out.height = static_cast<uint32_t>(header.height);
    return true;
}

}  // namespace

bool decodeBmp(std::span<const uint8_t> file, Image& out, std::string& error) {
    const bool ok = decode(file, out, error);
    if (!ok) out = Image{};
    return ok;
}

}  // namespace image
