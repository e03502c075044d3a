// D3DXCreateTextureFromFile on our own decoders (d3dx/image): one level,
// X8R8G8B8 for opaque pictures and A8R8G8B8 for pictures with alpha, the size
// the file's rounded up to powers of two within the driver's limit and the
// picture scaled to it with the point filter, as the Windows backend makes
// it. The textures come from the device's pool (gl_texture_pool.h).
#include "platform/linux/gl_texture.h"

#include <string>
#include <vector>

#include "platform/d3dx/byte_hash.h"
#include "platform/d3dx/files.h"
#include "platform/d3dx/image/image.h"
#include "platform/d3dx/texture_size.h"
#include "platform/linux/gl_device.h"

namespace platform {
namespace gl {

Texture::Texture(Device& device, PooledTexture& pooled) : device_(device), pooled_(pooled) {
    device_.AddRef();
    device_.texturePool().handOut(pooled_);
}

Texture::~Texture() {
    pooled_.inUse = false;
    device_.Release();
}

}  // namespace gl

namespace {

constexpr size_t kMaxFileBytes = size_t{256} << 20;

}  // namespace

int32_t D3DXCreateTextureFromFile(Direct3DDevice9* device, const char* fileName,
                                  Direct3DTexture9** texture) {
    if (texture != nullptr) *texture = nullptr;
    if (device == nullptr || fileName == nullptr || texture == nullptr) return gl::kInvalidCall;
    auto& owner = static_cast<gl::Device&>(*device);

    std::vector<uint8_t> bytes;
    if (!d3dx::readModelFile(fileName, kMaxFileBytes, bytes)) return gl::kInvalidData;
    const uint64_t fileHash = d3dx::hashBytes(bytes);
    if (!owner.makeCurrent()) return gl::kDeviceLost;
    gl::TexturePool& pool = owner.texturePool();
    if (gl::PooledTexture* same = pool.freeWithContent(fileHash)) {
        *texture = new gl::Texture(owner, *same);
        return gl::kOk;
    }

    image::Image picture;
    std::string error;
    if (!image::decodeImage(bytes, picture, error)) return gl::kInvalidData;
    uint32_t width = picture.width;
    uint32_t height = picture.height;
    d3dx::fitPictureSize({false, owner.maxTextureSize(), owner.maxTextureSize()}, width, height);
    if (width != picture.width || height != picture.height) {
        picture = image::resizedNearest(picture, width, height);
    }
    gl::PooledTexture* pooled = pool.take(width, height, picture.hasAlpha, owner.boundTexture());
    if (pooled == nullptr) return gl::kOutOfMemory;
    gl::TexturePool::fill(*pooled, picture);
    pooled->fileHash = fileHash;
    *texture = new gl::Texture(owner, *pooled);
    return gl::kOk;
}

}  // namespace platform
