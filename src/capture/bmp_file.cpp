#include "capture/bmp_file.h"

#include <cstddef>

#include "platform/window_system.h"
#include "platform/windows_values.h"

namespace {

template <size_t N>
void put16(std::array<uint8_t, N>& bytes, size_t offset, uint32_t value) {
    bytes[offset] = static_cast<uint8_t>(value);
    bytes[offset + 1] = static_cast<uint8_t>(value >> 8);
}

template <size_t N>
void put32(std::array<uint8_t, N>& bytes, size_t offset, uint32_t value) {
    put16(bytes, offset, value & 0xFFFFu);
    put16(bytes, offset + 2, value >> 16);
}

// The open file; closed when it goes out of scope unless closed before.
class OutputFile {
public:
    explicit OutputFile(const char* name)
        : handle_(platform::CreateFileA(name, platform::GENERIC_WRITE,
                                        platform::FILE_SHARE_READ | platform::FILE_SHARE_WRITE,
                                        platform::CREATE_ALWAYS, platform::FILE_ATTRIBUTE_NORMAL)) {
    }
    ~OutputFile() { close(); }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    bool isOpen() const { return handle_ != platform::kInvalidFile; }

    bool write(const void* data, uint32_t size) {
        uint32_t written = 0;
        return platform::WriteFile(handle_, data, size, &written) && written == size;
    }

    bool close() {
        if (!isOpen()) return false;
        const bool closed = platform::CloseHandle(handle_);
        handle_ = platform::kInvalidFile;
        return closed;
    }

private:
    platform::FileHandle handle_;
};

}  // namespace

uint64_t bmpStride(int64_t width) {
    if (width <= 0) return 0;
    return (static_cast<uint64_t>(width) * 3 + 3) / 4 * 4;
}

uint64_t bmpImageSize(int64_t width, int64_t height) {
    if (width <= 0 || height <= 0) return 0;
    return bmpStride(width) * static_cast<uint64_t>(height);
}

BmpHeaders makeBmpHeaders(int32_t width, int32_t height, uint32_t imageSize) {
    BmpHeaders headers;
    headers.file[0] = 'B';
    headers.file[1] = 'M';
    put32(headers.file, 2, kBmpPixelOffset + imageSize);  // bfSize
    put32(headers.file, 10, kBmpPixelOffset);             // bfOffBits
    put32(headers.info, 0, kBmpInfoHeaderSize);           // biSize
    put32(headers.info, 4, static_cast<uint32_t>(width));
    put32(headers.info, 8, static_cast<uint32_t>(height));  // positive: rows bottom-up
    put16(headers.info, 12, 1);                             // biPlanes
    put16(headers.info, 14, 24);                            // biBitCount
    put32(headers.info, 16, 0);                             // BI_RGB
    put32(headers.info, 20, imageSize);                     // biSizeImage
    return headers;
}

bool writeBmpFile(const char* name, int32_t width, int32_t height, const uint8_t* pixels,
                  uint32_t imageSize) {
    const uint64_t expected = bmpImageSize(width, height);
    if (expected == 0 || expected != imageSize || expected > kBmpMaxImageSize ||
        pixels == nullptr || name == nullptr)
        return false;
    const BmpHeaders headers = makeBmpHeaders(width, height, imageSize);
    OutputFile file(name);
    if (!file.isOpen()) return false;
    const bool written = file.write(headers.file.data(), kBmpFileHeaderSize) &&
                         file.write(headers.info.data(), kBmpInfoHeaderSize) &&
                         file.write(pixels, imageSize);
    const bool closed = file.close();
    return written && closed;
}
