// The textures a device keeps for reuse. The program gives its textures up
// and asks for new ones on every frame, so each OpenGL texture stays with the
// device: one given back is free to be filled and handed out anew, which
// spares a creation and, when the file's bytes are the ones it already holds,
// the upload too. Of the free ones, the one given back longest ago is taken,
// as the one given back last may still be read by the frame just drawn.
#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/d3dx/image/image.h"

namespace platform::gl {

struct PooledTexture {
    GLuint name = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    bool alpha = false;     // A8R8G8B8; else X8R8G8B8, alpha read as 1
    uint64_t fileHash = 0;  // of the file whose picture it holds; 0 for none
    uint64_t handedOut = 0;
    bool inUse = false;
};

class TexturePool {
public:
    TexturePool() = default;
    ~TexturePool();  // with the device's context current
    TexturePool(const TexturePool&) = delete;
    TexturePool& operator=(const TexturePool&) = delete;

    // A free texture holding this file's picture, or null.
    PooledTexture* freeWithContent(uint64_t fileHash);
    // A free texture of this size and kind, given back longest ago; else a
    // new one (free ones beyond the pool's size go, but never `bound`).
    // Null when OpenGL cannot make one.
    PooledTexture* take(uint32_t width, uint32_t height, bool alpha, const PooledTexture* bound);
    // Marks it in use from now on.
    void handOut(PooledTexture& texture);

    // Fills the texture with the picture (of the texture's size).
    static void fill(PooledTexture& texture, const image::Image& picture);

private:
    PooledTexture* create(uint32_t width, uint32_t height, bool alpha);
    void trim(const PooledTexture* bound);

    std::vector<std::unique_ptr<PooledTexture>> textures_;
    uint64_t clock_ = 0;
};

}  // namespace platform::gl
