#define GL_GLEXT_PROTOTYPES 1
#include "platform/linux/gl_back_buffer_linux.h"

#include <GL/glext.h>

#include "platform/windows_values.h"

namespace platform::gl {
namespace {

// The renderbuffer format of a back-buffer format: 8 bits a colour channel,
// also for 16-bit formats (R5G6B5, the program's), as the Windows program
// draws under Wine, whose pictures are the ones ours are held against; alpha
// only where the format has it.
GLenum colourFormatOf(uint32_t format) { return format == D3DFMT_A8R8G8B8 ? GL_RGBA8 : GL_RGB8; }

GLuint renderbuffer(GLenum format, uint32_t width, uint32_t height) {
    GLuint name = 0;
    glGenRenderbuffers(1, &name);
    glBindRenderbuffer(GL_RENDERBUFFER, name);
    glRenderbufferStorage(GL_RENDERBUFFER, format, static_cast<GLsizei>(width),
                          static_cast<GLsizei>(height));
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    return name;
}

}  // namespace

std::unique_ptr<BackBuffer> BackBuffer::create(uint32_t width, uint32_t height, uint32_t format,
                                               bool depth) {
    GLint largest = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &largest);
    if (width == 0 || height == 0 || width > static_cast<uint32_t>(largest) ||
        height > static_cast<uint32_t>(largest))
        return nullptr;
    std::unique_ptr<BackBuffer> buffer(new BackBuffer(width, height));
    glGenFramebuffers(1, &buffer->framebuffer_);
    glBindFramebuffer(GL_FRAMEBUFFER, buffer->framebuffer_);
    buffer->colour_ = renderbuffer(colourFormatOf(format), width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                              buffer->colour_);
    if (depth) {
        buffer->depth_ = renderbuffer(GL_DEPTH_COMPONENT16, width, height);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER,
                                  buffer->depth_);
    }
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) return nullptr;
    return buffer;
}

BackBuffer::~BackBuffer() {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &framebuffer_);
    glDeleteRenderbuffers(1, &colour_);
    if (depth_ != 0) glDeleteRenderbuffers(1, &depth_);
}

void BackBuffer::bind() const {
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glViewport(0, 0, static_cast<GLsizei>(width_), static_cast<GLsizei>(height_));
}

void BackBuffer::blitToWindow(const GlRect& from, const GlRect& to) const {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glDrawBuffer(GL_BACK);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    const bool scaled = from.width != to.width || from.height != to.height;
    glBlitFramebuffer(from.x, from.y, from.x + from.width, from.y + from.height, to.x, to.y,
                      to.x + to.width, to.y + to.height, GL_COLOR_BUFFER_BIT,
                      scaled ? GL_LINEAR : GL_NEAREST);
    bind();
}

}  // namespace platform::gl
