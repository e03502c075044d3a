// libFuzzer target: every picture format together (BMP ours; PNG, JPEG and
// TGA through stb_image), as D3DXCreateTextureFromFile meets them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/d3dx/image/image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    image::Image picture;
    std::string error;
    if (image::decodeImage({data, size}, picture, error)) {
        if (picture.width == 0 || picture.pixels.size() != size_t{picture.width} * picture.height) {
            std::abort();
        }
    } else if (error.empty()) {
        std::abort();
    }
    return 0;
}
