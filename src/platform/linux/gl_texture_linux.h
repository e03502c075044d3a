// Textures as D3DXCreateTextureFromFile hands them out: each texture object
// holds one of the OpenGL textures that the device's cache keeps for the
// files read (d3dx/texture_cache.h), shared with every other object made from
// the same bytes, and with the device while it is bound.
#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <memory>

#include "platform/d3dx/texture_cache.h"
#include "platform/graphics.h"
#include "platform/linux/gl_objects_linux.h"
#include "platform/ref.h"

namespace platform::gl {

class Device;

// One OpenGL texture of one level, given up with its last holder (the
// device's context is the only one, and current).
struct GlTexture {
    GLuint name = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    bool alpha = false;  // A8R8G8B8; else X8R8G8B8, alpha read as 1

    GlTexture() = default;
    GlTexture(const GlTexture&) = delete;
    GlTexture& operator=(const GlTexture&) = delete;
    ~GlTexture();
};

using TextureCache = d3dx::TextureCache<GlTexture>;

// A new texture of one level holding `width` x `height` 0xAARRGGBB pixels,
// point-sampled, with `wrap` at its edges, stored as `format`; unbound after.
GLuint uploadPixels(const uint32_t* pixels, uint32_t width, uint32_t height, GLint format,
                    GLint wrap);

class Texture final : public RefCounted<Direct3DTexture9> {
public:
    Texture(Device& device, std::shared_ptr<const GlTexture> texture);
    const std::shared_ptr<const GlTexture>& texture() const { return texture_; }

private:
    ~Texture() override;

    Device& device_;  // holds a reference: the cache lives as long as the device
    std::shared_ptr<const GlTexture> texture_;
};

}  // namespace platform::gl
