// The device's back buffer: a framebuffer object of the size the
// presentation parameters ask for, with a 16-bit depth buffer.
// Drawing goes there; the present scales it onto the window.
#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <memory>

namespace platform::gl {

// A rectangle in OpenGL's window coordinates: from the bottom left.
struct GlRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

class BackBuffer {
public:
    // Null when the driver cannot make one of that size. Needs the device's
    // context current, as every call here does.
    static std::unique_ptr<BackBuffer> create(uint32_t width, uint32_t height, uint32_t format,
                                              bool depth);
    ~BackBuffer();
    BackBuffer(const BackBuffer&) = delete;
    BackBuffer& operator=(const BackBuffer&) = delete;

    void bind() const;
    uint32_t width() const { return width_; }
    uint32_t height() const { return height_; }
    bool hasDepth() const { return depth_ != 0; }

    // Copies a rectangle of this buffer, scaled, onto a rectangle of the
    // window's back buffer, then binds this buffer again.
    void blitToWindow(const GlRect& from, const GlRect& to) const;

private:
    BackBuffer(uint32_t width, uint32_t height) : width_(width), height_(height) {}

    uint32_t width_;
    uint32_t height_;
    GLuint framebuffer_ = 0;
    GLuint colour_ = 0;
    GLuint depth_ = 0;
};

}  // namespace platform::gl
