// D3DXCreateTextureFromFile on our own decoders (d3dx/image) and a texture
// cache per device (d3dx/texture_cache.h): one level in the managed pool,
// X8R8G8B8 for opaque pictures and A8R8G8B8 for pictures with alpha. Like the
// library's default, the size is the file's rounded up to powers of two, the
// picture scaled to it with the point filter; unlike it, no smaller levels are
// made, which nothing samples (the program sets no mipmap filter).
//
// Every texture object handed out is an object of its own; the native texture
// behind it is the cache's, shared by every object made from the same bytes.
#include <cstring>
#include <map>
#include <memory>

#include "platform/d3dx/texture_cache.h"
#include "platform/graphics.h"
#include "platform/win32/com_objects_win32.h"
#include "platform/win32/native_win32.h"
#include "platform/win32/own_d3dx_win32.h"

namespace platform {
namespace {

// A native texture of the cache, released with its last holder.
struct NativeTexture {
    IDirect3DTexture9* texture = nullptr;  // one reference
    uint32_t width = 0;
    uint32_t height = 0;
    bool alpha = false;

    NativeTexture() = default;
    NativeTexture(const NativeTexture&) = delete;
    NativeTexture& operator=(const NativeTexture&) = delete;
    ~NativeTexture() {
        if (texture != nullptr) texture->Release();
    }
};

using TextureCache = d3dx::TextureCache<NativeTexture>;

// A texture object over a cached native texture, which it holds.
class CachedTextureObject final : public win32::TextureObject {
public:
    explicit CachedTextureObject(std::shared_ptr<NativeTexture> texture)
        : win32::TextureObject(texture->texture), texture_(std::move(texture)) {
        texture_->texture->AddRef();  // the reference TextureObject gives up
    }

private:
    std::shared_ptr<NativeTexture> texture_;
};

std::map<IDirect3DDevice9*, std::unique_ptr<TextureCache>>& caches() {
    static std::map<IDirect3DDevice9*, std::unique_ptr<TextureCache>> byDevice;
    return byDevice;
}

TextureCache& cacheOf(IDirect3DDevice9* device) {
    std::unique_ptr<TextureCache>& cache = caches()[device];
    if (!cache) cache = std::make_unique<TextureCache>();
    return *cache;
}

HRESULT fill(IDirect3DTexture9* texture, const image::Image& picture) {
    D3DLOCKED_RECT locked{};
    const HRESULT result = texture->LockRect(0, &locked, nullptr, 0);
    if (FAILED(result)) return result;
    // Our pixels are 0xAARRGGBB words: the bytes of A8R8G8B8 (and X8R8G8B8).
    for (uint32_t y = 0; y < picture.height; ++y) {
        std::memcpy(
            static_cast<unsigned char*>(locked.pBits) + static_cast<size_t>(y) * locked.Pitch,
            picture.pixels.data() + static_cast<size_t>(y) * picture.width,
            size_t{picture.width} * 4);
    }
    texture->UnlockRect(0);
    return D3D_OK;
}

class Maker final : public d3dx::TextureMaker<NativeTexture> {
public:
    explicit Maker(IDirect3DDevice9* device) : device_(device) {}

    // What the device takes, as our picture sizing asks for it.
    d3dx::TextureLimits limits() override {
        D3DCAPS9 caps{};
        device_->GetDeviceCaps(&caps);
        return {(caps.TextureCaps & D3DPTEXTURECAPS_SQUAREONLY) != 0, caps.MaxTextureWidth,
                caps.MaxTextureHeight};
    }

    std::shared_ptr<NativeTexture> create(const image::Image& picture) override {
        auto created = std::make_shared<NativeTexture>();
        created->width = picture.width;
        created->height = picture.height;
        created->alpha = picture.hasAlpha;
        HRESULT result =
            device_->CreateTexture(picture.width, picture.height, 1, 0,
                                   picture.hasAlpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8,
                                   D3DPOOL_MANAGED, &created->texture, nullptr);
        if (FAILED(result) && !picture.hasAlpha) {
            result = device_->CreateTexture(picture.width, picture.height, 1, 0, D3DFMT_A8R8G8B8,
                                            D3DPOOL_MANAGED, &created->texture, nullptr);
        }
        if (FAILED(result) || created->texture == nullptr ||
            FAILED(fill(created->texture, picture)))
            return nullptr;
        return created;
    }

    bool refill(NativeTexture& texture, const image::Image& picture) override {
        return SUCCEEDED(fill(texture.texture, picture));
    }

private:
    IDirect3DDevice9* device_;
};

}  // namespace

void win32::releaseTextureCache(IDirect3DDevice9* device) { caches().erase(device); }

int32_t D3DXCreateTextureFromFile(Direct3DDevice9* device, const char* fileName,
                                  Direct3DTexture9** texture) {
    if (texture != nullptr) *texture = nullptr;
    IDirect3DDevice9* native = win32::nativeDevice(device);
    if (native == nullptr || fileName == nullptr || texture == nullptr) return D3DERR_INVALIDCALL;

    Maker maker(native);
    std::shared_ptr<NativeTexture> found;
    switch (cacheOf(native).find(fileName, maker, found)) {
        case d3dx::TextureLookup::found:
            *texture = new CachedTextureObject(std::move(found));
            return D3D_OK;
        case d3dx::TextureLookup::noTexture:
            return E_OUTOFMEMORY;
        case d3dx::TextureLookup::noFile:
        case d3dx::TextureLookup::notPicture:
            break;
    }
    return D3DXERR_INVALIDDATA;
}

}  // namespace platform
