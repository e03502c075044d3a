// libFuzzer target: our BMP decoder on any bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/d3dx/image/image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    image::Image picture;
    std::string error;
    if (image::decodeBmp({data, size}, picture, error)) {
        if (picture.width == 0 || picture.height == 0 || picture.width > image::kMaxSide ||
            picture.height > image::kMaxSide ||
            picture.pixels.size() != size_t{picture.width} * picture.height) {
            std::abort();
        }
        if (!picture.hasAlpha) {
            for (const uint32_t pixel : picture.pixels) {
                if ((pixel >> 24) != 0xFF) std::abort();
            }
        }
    } else if (error.empty() || !picture.pixels.empty()) {
        std::abort();
    }
    return 0;
}
