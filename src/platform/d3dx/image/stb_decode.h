// PNG, JPEG and TGA through the vendored stb_image (compiled alone in
// stb_image_impl.cpp, whose warnings are not ours).
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "platform/d3dx/image/image.h"

namespace image {

bool decodeWithStb(std::span<const uint8_t> file, Image& out, std::string& error);

}  // namespace image
