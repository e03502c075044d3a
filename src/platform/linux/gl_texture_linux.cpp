// D3DXCreateTextureFromFile on our own decoders (d3dx/image) and the device's
// texture cache (d3dx/texture_cache.h): one level, X8R8G8B8 for opaque
// pictures and A8R8G8B8 for pictures with alpha, the size the file's rounded
// up to powers of two within the driver's limit and the picture scaled to it
// with the point filter, as the Windows backend makes it.
#include "platform/linux/gl_texture_linux.h"

#include <GL/glext.h>

#include "platform/linux/gl_device_linux.h"

namespace platform {
namespace gl {

GLuint uploadPixels(const uint32_t* pixels, uint32_t width, uint32_t height, GLint format,
                    GLint wrap) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, format, static_cast<GLsizei>(width),
                 static_cast<GLsizei>(height), 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, pixels);
    glBindTexture(GL_TEXTURE_2D, 0);
    return name;
}

namespace {

// Our pixels are 0xAARRGGBB words, which OpenGL reads as BGRA with the
// 8_8_8_8_REV packing on any byte order.
void fill(const GlTexture& texture, const image::Image& picture) {
    glBindTexture(GL_TEXTURE_2D, texture.name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, static_cast<GLsizei>(picture.width),
                    static_cast<GLsizei>(picture.height), GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                    picture.pixels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
}

// A texture holding the picture (of a size OpenGL takes), sampled as
// Direct3D's default sampling does: point filter, wrapped, one level. Null
// when OpenGL cannot make it.
std::shared_ptr<GlTexture> createTexture(const image::Image& picture) {
    auto texture = std::make_shared<GlTexture>();
    texture->width = picture.width;
    texture->height = picture.height;
    texture->alpha = picture.hasAlpha;
    for (int i = 0; i < 8 && glGetError() != GL_NO_ERROR; ++i) {
    }
    texture->name = uploadPixels(picture.pixels.data(), picture.width, picture.height,
                                 picture.hasAlpha ? GL_RGBA8 : GL_RGB8, GL_REPEAT);
    if (glGetError() != GL_NO_ERROR) return nullptr;
    return texture;
}

// Makes and fills textures on the device: binding each to fill it, it tells
// the device that the texture it applied is no longer bound.
class Maker final : public d3dx::TextureMaker<GlTexture> {
public:
    explicit Maker(Device& device) : device_(device) {}

    d3dx::TextureLimits limits() override {
        return {false, device_.maxTextureSize(), device_.maxTextureSize()};
    }

    std::shared_ptr<GlTexture> create(const image::Image& picture) override {
        device_.forgetAppliedState();
        return createTexture(picture);
    }

    bool refill(GlTexture& texture, const image::Image& picture) override {
        device_.forgetAppliedState();
        fill(texture, picture);
        return true;
    }

private:
    Device& device_;
};

}  // namespace

GlTexture::~GlTexture() {
    if (name != 0) glDeleteTextures(1, &name);
}

Texture::Texture(Device& device, std::shared_ptr<const GlTexture> texture)
    : device_(device), texture_(std::move(texture)) {
    device_.AddRef();
}

Texture::~Texture() {
    texture_.reset();
    device_.Release();
}

}  // namespace gl

int32_t D3DXCreateTextureFromFile(Direct3DDevice9* device, const char* fileName,
                                  Direct3DTexture9** texture) {
    if (texture != nullptr) *texture = nullptr;
    if (device == nullptr || fileName == nullptr || texture == nullptr) return gl::kInvalidCall;
    auto& owner = static_cast<gl::Device&>(*device);
    if (!owner.makeCurrent()) return gl::kDeviceLost;

    gl::Maker maker(owner);
    std::shared_ptr<gl::GlTexture> found;
    switch (owner.textureCache().find(fileName, maker, found)) {
        case d3dx::TextureLookup::found:
            *texture = new gl::Texture(owner, std::move(found));
            return gl::kOk;
        case d3dx::TextureLookup::noTexture:
            return gl::kOutOfMemory;
        case d3dx::TextureLookup::noFile:
        case d3dx::TextureLookup::notPicture:
            break;
    }
    return gl::kInvalidData;
}

}  // namespace platform
