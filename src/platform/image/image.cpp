#include "platform/image/image.h"

#include "platform/image/stb_decode.h"
#include "platform/xfile/file_bytes.h"

namespace image {

namespace {
constexpr size_t kMaxFileBytes = size_t{256} << 20;
}

bool decodeImage(std::span<const uint8_t> file, Image& out, std::string& error) {
    if (file.size() >= 2 && file[0] == 'B' && file[1] == 'M') return decodeBmp(file, out, error);
    return decodeWithStb(file, out, error);
}

bool loadImageFile(const char* fileName, Image& out, std::string& error) {
    out = Image{};
    std::vector<uint8_t> bytes;
    if (!xfile::readFileBytes(fileName, kMaxFileBytes, bytes, error)) return false;
    return decodeImage(bytes, out, error);
}

}  // namespace image
