// A texture handed out by D3DXCreateTextureFromFile: one of the device's
// pooled OpenGL textures (gl_texture_pool.h), in use until it is released.
#pragma once

#include "platform/graphics.h"
#include "platform/linux/gl_objects.h"
#include "platform/linux/gl_texture_pool.h"

namespace platform::gl {

class Device;

class Texture final : public RefCounted<Direct3DTexture9> {
public:
    Texture(Device& device, PooledTexture& pooled);
    const PooledTexture& pooled() const { return pooled_; }

private:
    ~Texture() override;

    Device& device_;  // holds a reference: the pool lives as long as the device
    PooledTexture& pooled_;
};

}  // namespace platform::gl
