// D3DXCreateTextureFromFile on our own decoders (platform/image): one level in
// the managed pool, X8R8G8B8 for opaque pictures and A8R8G8B8 for pictures with
// alpha. Like the library's default, the size is the file's rounded up to
// powers of two, the picture scaled to it with the point filter; unlike it, no
// smaller levels are made, which nothing samples (the program sets no mipmap
// filter).
#include <algorithm>
#include <cstring>
#include <string>

#include "platform/graphics.h"
#include "platform/image/image.h"
#include "platform/win32/com_objects_win32.h"
#include "platform/win32/native_win32.h"

namespace platform {
namespace {

uint32_t nextPowerOfTwo(uint32_t value) {
    uint32_t power = 1;
    while (power < value && power < 0x80000000u) power <<= 1;
    return power;
}

// The texture size for a picture of this size: rounded up to powers of two,
// square where the device needs that, and halved until the device takes it.
void fitToDevice(const D3DCAPS9& caps, uint32_t& width, uint32_t& height) {
    width = nextPowerOfTwo(width);
    height = nextPowerOfTwo(height);
    if (caps.TextureCaps & D3DPTEXTURECAPS_SQUAREONLY) width = height = std::max(width, height);
    const uint32_t maxWidth = caps.MaxTextureWidth != 0 ? caps.MaxTextureWidth : 2048;
    const uint32_t maxHeight = caps.MaxTextureHeight != 0 ? caps.MaxTextureHeight : 2048;
    while (width > maxWidth && width > 1) width /= 2;
    while (height > maxHeight && height > 1) height /= 2;
}

}  // namespace

int32_t D3DXCreateTextureFromFile(Direct3DDevice9* device, const char* fileName,
                                  Direct3DTexture9** texture) {
    if (texture != nullptr) *texture = nullptr;
    IDirect3DDevice9* native = win32::nativeDevice(device);
    if (native == nullptr || fileName == nullptr || texture == nullptr) return D3DERR_INVALIDCALL;

    image::Image picture;
    std::string error;
    if (!image::loadImageFile(fileName, picture, error)) return D3DXERR_INVALIDDATA;

    D3DCAPS9 caps{};
    native->GetDeviceCaps(&caps);
    uint32_t width = picture.width;
    uint32_t height = picture.height;
    fitToDevice(caps, width, height);
    if (width != picture.width || height != picture.height) {
        picture = image::resizedNearest(picture, width, height);
    }

    IDirect3DTexture9* created = nullptr;
    HRESULT result = native->CreateTexture(width, height, 1, 0,
                                           picture.hasAlpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8,
                                           D3DPOOL_MANAGED, &created, nullptr);
    if (FAILED(result) && !picture.hasAlpha) {
        result = native->CreateTexture(width, height, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                       &created, nullptr);
    }
    if (FAILED(result) || created == nullptr) return FAILED(result) ? result : E_FAIL;

    D3DLOCKED_RECT locked{};
    result = created->LockRect(0, &locked, nullptr, 0);
    if (FAILED(result)) {
        created->Release();
        return result;
    }
    // Our pixels are 0xAARRGGBB words: the bytes of A8R8G8B8 (and X8R8G8B8).
    for (uint32_t y = 0; y < height; ++y) {
        std::memcpy(
            static_cast<unsigned char*>(locked.pBits) + static_cast<size_t>(y) * locked.Pitch,
            picture.pixels.data() + static_cast<size_t>(y) * width, size_t{width} * 4);
    }
    created->UnlockRect(0);
    *texture = win32::wrap<win32::TextureObject>(created);
    return D3D_OK;
}

}  // namespace platform
