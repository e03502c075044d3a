// The one translation unit that holds stb_image's code: PNG, JPEG and TGA
// only, from memory only, no larger than our textures may be.
#include <algorithm>
#include <climits>

#include "platform/d3dx/image/stb_decode.h"

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_TGA
#define STBI_MAX_DIMENSIONS 16384
#include "stb/stb_image.h"

namespace image {

namespace {
constexpr uint64_t kPixelsPerByte = 1024;
constexpr uint64_t kPixelAllowance = uint64_t{1} << 20;

// A PNG's chunks must each fit in the file: the decoder would otherwise size
// its buffer by a chunk's claimed length before finding the data missing.
bool pngChunksFit(std::span<const uint8_t> file) {
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (file.size() < 8 || !std::equal(kSignature, kSignature + 8, file.begin())) return true;
    size_t at = 8;
    while (file.size() - at >= 12) {
        const uint64_t length = uint64_t{file[at]} << 24 | uint64_t{file[at + 1]} << 16 |
                                uint64_t{file[at + 2]} << 8 | file[at + 3];
        if (length > file.size() - at - 12) return false;
        if (std::equal(file.begin() + static_cast<ptrdiff_t>(at + 4),
                       file.begin() + static_cast<ptrdiff_t>(at + 8), "IEND")) {
            return true;
        }
        at += 12 + static_cast<size_t>(length);
    }
    return false;
}
}  // namespace

bool decodeWithStb(std::span<const uint8_t> file, Image& out, std::string& error) {
    out = Image{};
    if (file.empty() || file.size() > INT_MAX) {
        error = "unsupported picture";
        return false;
    }
    int width = 0;
    int height = 0;
    int channels = 0;
    if (!pngChunksFit(file)) {
        error = "truncated PNG";
        return false;
    }
    // The size the header claims, checked before anything is allocated for
    // it: within our limits, and no more pixels than the compression of these
    // formats can plausibly pack into the file.
    if (!stbi_info_from_memory(file.data(), static_cast<int>(file.size()), &width, &height,
                               &channels)) {
        error = "unsupported or damaged picture";
        return false;
    }
    const uint64_t claimed = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
    if (width <= 0 || height <= 0 || claimed > kMaxPixels ||
        claimed > file.size() * kPixelsPerByte + kPixelAllowance) {
        error = "picture too large";
        return false;
    }
    stbi_uc* pixels = stbi_load_from_memory(file.data(), static_cast<int>(file.size()), &width,
                                            &height, &channels, 4);
    if (pixels == nullptr) {
        // The decoder does not always say why.
        const char* reason = stbi_failure_reason();
        error = reason != nullptr && *reason != '\0' ? reason : "unsupported or damaged picture";
        return false;
    }
    if (width <= 0 || height <= 0 || static_cast<uint32_t>(width) > kMaxSide ||
        static_cast<uint32_t>(height) > kMaxSide) {
        stbi_image_free(pixels);
        error = "unsupported picture size";
        return false;
    }
    out.width = static_cast<uint32_t>(width);
    out.height = static_cast<uint32_t>(height);
    out.hasAlpha = channels == 2 || channels == 4;
    out.pixels.resize(size_t{out.width} * out.height);
    for (size_t i = 0; i < out.pixels.size(); ++i) {
        const stbi_uc* p = pixels + 4 * i;
        out.pixels[i] = uint32_t{p[3]} << 24 | uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2];
    }
    stbi_image_free(pixels);
    return true;
}

}  // namespace image
