#include "platform/linux/gl_texture_pool.h"

#include <GL/glext.h>


namespace platform::gl {
namespace {

constexpr size_t kFreeKept = 8;

}  // namespace

TexturePool::~TexturePool() {
    for (const auto& texture : textures_) glDeleteTextures(1, &texture->name);
}

PooledTexture* TexturePool::freeWithContent(uint64_t fileHash) {
    for (const auto& texture : textures_) {
        if (!texture->inUse && texture->fileHash == fileHash) return texture.get();
    }
    return nullptr;
}

PooledTexture* TexturePool::take(uint32_t width, uint32_t height, bool alpha,
                                 const PooledTexture* bound) {
    PooledTexture* best = nullptr;
    for (const auto& texture : textures_) {
        if (!texture->inUse && texture->width == width && texture->height == height &&
            texture->alpha == alpha && (best == nullptr || texture->handedOut < best->handedOut))
            best = texture.get();
    }
    if (best != nullptr) return best;
    trim(bound);
    return create(width, height, alpha);
}

void TexturePool::handOut(PooledTexture& texture) {
    texture.handedOut = ++clock_;
    texture.inUse = true;
}

// Texel layout: our pixels are 0xAARRGGBB words, which OpenGL reads as BGRA
// with the 8_8_8_8_REV packing on any byte order. Direct3D's default
// sampling: point filter, wrapped, one level.
PooledTexture* TexturePool::create(uint32_t width, uint32_t height, bool alpha) {
    auto texture = std::make_unique<PooledTexture>();
    texture->width = width;
    texture->height = height;
    texture->alpha = alpha;
    for (int i = 0; i < 8 && glGetError() != GL_NO_ERROR; ++i) {
    }
    glGenTextures(1, &texture->name);
    glBindTexture(GL_TEXTURE_2D, texture->name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, alpha ? GL_RGBA8 : GL_RGB8, static_cast<GLsizei>(width),
                 static_cast<GLsizei>(height), 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, nullptr);
    glBindTexture(GL_TEXTURE_2D, 0);
    if (glGetError() != GL_NO_ERROR) {
        glDeleteTextures(1, &texture->name);
        return nullptr;
    }
    textures_.push_back(std::move(texture));
    return textures_.back().get();
}

// Gives up the free textures given back longest ago beyond the pool's size.
void TexturePool::trim(const PooledTexture* bound) {
    for (;;) {
        size_t free = 0;
        auto oldest = textures_.end();
        for (auto it = textures_.begin(); it != textures_.end(); ++it) {
            if ((*it)->inUse || it->get() == bound) continue;
            ++free;
            if (oldest == textures_.end() || (*it)->handedOut < (*oldest)->handedOut) oldest = it;
        }
        if (free < kFreeKept || oldest == textures_.end()) return;
        glDeleteTextures(1, &(*oldest)->name);
        textures_.erase(oldest);
    }
}

void TexturePool::fill(PooledTexture& texture, const image::Image& picture) {
    glBindTexture(GL_TEXTURE_2D, texture.name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, static_cast<GLsizei>(picture.width),
                    static_cast<GLsizei>(picture.height), GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                    picture.pixels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
}

}  // namespace platform::gl
