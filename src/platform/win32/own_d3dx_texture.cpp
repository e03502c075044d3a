// D3DXCreateTextureFromFile on our own decoders (platform/image): one level in
// the managed pool, X8R8G8B8 for opaque pictures and A8R8G8B8 for pictures with
// alpha. Like the library's default, the size is the file's rounded up to
// powers of two, the picture scaled to it with the point filter; unlike it, no
// smaller levels are made, which nothing samples (the program sets no mipmap
// filter).
//
// The program gives its textures up and asks for new ones on every frame, so
// native textures are kept for reuse: each texture handed out is also held by
// a small pool, and one whose only holder is the pool again is free to be
// filled and handed out anew, which spares the device a creation and, when the
// file's bytes are the ones it already holds, the upload too. Of the free
// ones, the one given back longest ago is taken, as the one given back last
// may still be in use by the frame just drawn. Every texture handed out is a
// texture of its own; two never share one.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/d3dx/byte_hash.h"
#include "platform/d3dx/files.h"
#include "platform/d3dx/image/image.h"
#include "platform/d3dx/texture_size.h"
#include "platform/graphics.h"
#include "platform/win32/com_objects_win32.h"
#include "platform/win32/native_win32.h"
#include "platform/win32/own_d3dx_win32.h"

namespace platform {
namespace {

constexpr size_t kMaxFileBytes = size_t{256} << 20;
constexpr size_t kPoolSize = 8;

struct Pooled {
    IDirect3DDevice9* device = nullptr;
    IDirect3DTexture9* texture = nullptr;  // one reference held by the pool
    UINT width = 0;
    UINT height = 0;
    D3DFORMAT format = D3DFMT_UNKNOWN;
    uint64_t fileHash = 0;  // of the file whose picture it holds
    uint64_t handedOut = 0;
};

std::vector<Pooled>& pool() {
    static std::vector<Pooled> textures;
    return textures;
}
uint64_t handOutClock = 0;

// Free: nobody but the pool holds it.
bool isFree(IDirect3DTexture9* texture) {
    const ULONG count = texture->AddRef();
    texture->Release();
    return count == 2;
}

// The free pooled texture holding this file's picture, or null.
Pooled* freeWithContent(IDirect3DDevice9* device, uint64_t fileHash) {
    for (Pooled& entry : pool()) {
        if (entry.device == device && entry.fileHash == fileHash && isFree(entry.texture)) {
            return &entry;
        }
    }
    return nullptr;
}

// The free pooled texture of this kind given back longest ago, or null.
Pooled* freeOfKind(IDirect3DDevice9* device, UINT width, UINT height, D3DFORMAT format) {
    Pooled* best = nullptr;
    for (Pooled& entry : pool()) {
        if (entry.device == device && entry.width == width && entry.height == height &&
            entry.format == format && isFree(entry.texture) &&
            (best == nullptr || entry.handedOut < best->handedOut)) {
            best = &entry;
        }
    }
    return best;
}

// Keeps a new texture in the pool, giving up free ones beyond its size.
void keep(const Pooled& entry) {
    auto& textures = pool();
    while (textures.size() >= kPoolSize) {
        auto oldest = textures.end();
        for (auto it = textures.begin(); it != textures.end(); ++it) {
            if (isFree(it->texture) &&
                (oldest == textures.end() || it->handedOut < oldest->handedOut)) {
                oldest = it;
            }
        }
        if (oldest == textures.end()) break;  // all in use: the pool grows
        oldest->texture->Release();
        textures.erase(oldest);
    }
    textures.push_back(entry);
    entry.texture->AddRef();
}

Direct3DTexture9* handOut(Pooled& entry) {
    entry.handedOut = ++handOutClock;
    entry.texture->AddRef();  // the caller's reference
    return win32::wrap<win32::TextureObject>(entry.texture);
}

// What the device takes, as our picture sizing asks for it.
d3dx::TextureLimits limitsOf(const D3DCAPS9& caps) {
    return {(caps.TextureCaps & D3DPTEXTURECAPS_SQUAREONLY) != 0, caps.MaxTextureWidth,
            caps.MaxTextureHeight};
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

}  // namespace

void win32::releaseRecycledTextures(IDirect3DDevice9* device) {
    auto& textures = pool();
    for (auto it = textures.begin(); it != textures.end();) {
        if (it->device == device) {
            it->texture->Release();
            it = textures.erase(it);
        } else {
            ++it;
        }
    }
}

int32_t D3DXCreateTextureFromFile(Direct3DDevice9* device, const char* fileName,
                                  Direct3DTexture9** texture) {
    if (texture != nullptr) *texture = nullptr;
    IDirect3DDevice9* native = win32::nativeDevice(device);
    if (native == nullptr || fileName == nullptr || texture == nullptr) return D3DERR_INVALIDCALL;

    std::vector<uint8_t> bytes;
    if (!d3dx::readModelFile(fileName, kMaxFileBytes, bytes)) return D3DXERR_INVALIDDATA;
    const uint64_t fileHash = d3dx::hashBytes(bytes);
    if (Pooled* same = freeWithContent(native, fileHash)) {
        *texture = handOut(*same);
        return D3D_OK;
    }

    image::Image picture;
    std::string error;
    if (!image::decodeImage(bytes, picture, error)) return D3DXERR_INVALIDDATA;
    D3DCAPS9 caps{};
    native->GetDeviceCaps(&caps);
    uint32_t width = picture.width;
    uint32_t height = picture.height;
    d3dx::fitPictureSize(limitsOf(caps), width, height);
    if (width != picture.width || height != picture.height) {
        picture = image::resizedNearest(picture, width, height);
    }
    const D3DFORMAT format = picture.hasAlpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;

    Pooled* entry = freeOfKind(native, width, height, format);
    if (entry == nullptr) {
        Pooled created;
        created.device = native;
        created.width = width;
        created.height = height;
        created.format = format;
        HRESULT result = native->CreateTexture(width, height, 1, 0, format, D3DPOOL_MANAGED,
                                               &created.texture, nullptr);
        if (FAILED(result) && format == D3DFMT_X8R8G8B8) {
            created.format = D3DFMT_A8R8G8B8;
            result = native->CreateTexture(width, height, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                           &created.texture, nullptr);
        }
        if (FAILED(result) || created.texture == nullptr) return FAILED(result) ? result : E_FAIL;
        keep(created);
        created.texture->Release();  // keep() took the pool's reference
        entry = &pool().back();
    }
    entry->fileHash = 0;  // until filled
    const HRESULT result = fill(entry->texture, picture);
    if (FAILED(result)) return result;
    entry->fileHash = fileHash;
    *texture = handOut(*entry);
    return D3D_OK;
}

}  // namespace platform
