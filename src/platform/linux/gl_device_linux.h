// The Direct3D 9 device over OpenGL: a GLX context on the device window, the
// back buffer as a framebuffer object, the Direct3D state applied before each
// draw (gl_fixed_function_linux.h), and the present that scales the back buffer
// onto the window's client area. The textures, meshes and fonts made on it
// hold a reference to it and draw through it.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/graphics.h"
#include "platform/linux/gl_back_buffer_linux.h"
#include "platform/linux/gl_context_linux.h"
#include "platform/linux/gl_device_state_linux.h"
#include "platform/linux/gl_fixed_function_linux.h"
#include "platform/linux/gl_objects_linux.h"
#include "platform/linux/gl_texture_linux.h"
#include "platform/linux/gl_vertex_format_linux.h"
#include "platform/ref.h"

namespace platform::gl {

class Device final : public RefCounted<Direct3DDevice9> {
public:
    // A device drawing into `window`'s client area; `parameters` get the
    // back buffer's size and format where they leave them to the device.
    static int32_t create(Display* display, WindowHandle window, PresentParameters& parameters,
                          Device** device);

    // A device whose back buffer could not be made again (a failed reset)
    // waits for the next reset.
    int32_t TestCooperativeLevel() override { return backBuffer_ ? kOk : kDeviceNotReset; }
    int32_t Reset(PresentParameters* parameters) override;
    int32_t BeginScene() override;
    int32_t Clear(uint32_t rectCount, const Rect* rects, uint32_t flags, uint32_t colour, float z,
                  uint32_t stencil) override;
    int32_t EndScene() override;
    int32_t Present(const Rect* source, const Rect* destination, WindowHandle window,
                    const void* dirtyRegion) override;
    int32_t SetLight(uint32_t index, const Light* light) override;
    int32_t LightEnable(uint32_t index, int32_t enable) override;
    int32_t SetRenderState(uint32_t state, uint32_t value) override;
    int32_t SetTransform(uint32_t state, const Matrix* matrix) override;
    int32_t SetMaterial(const Material* material) override;
    int32_t SetTexture(uint32_t stage, Direct3DTexture9* texture) override;
    int32_t SetTextureStageState(uint32_t stage, uint32_t type, uint32_t value) override;
    int32_t SetFVF(uint32_t fvf) override;
    int32_t DrawPrimitiveUP(uint32_t primitiveType, uint32_t primitiveCount, const void* vertices,
                            uint32_t stride) override;

    // --- for the objects made on this device ---

    // Makes the device's context current; false when it cannot be.
    bool makeCurrent();
    // To be called after changing OpenGL state other than by a draw's state
    // (binding a texture to fill it, drawing a screen quad, presenting): the
    // next draw applies all of its state again.
    void forgetAppliedState() { stale_ = kAllStateGroups; }
    TextureCache& textureCache() { return *textures_; }
    uint32_t maxTextureSize() const { return maxTextureSize_; }
    // Draws vertices laid out as `format` says (`stride` overrides its
    // stride when not 0) with the device's state: `count` of them from
    // `first`, or, with `indices`, `count` indices into vertices `first` to
    // `last`.
    struct Vertices {
        const VertexFormat& format;
        const uint8_t* data;
        uint32_t stride;
    };
    void draw(const Vertices& vertices, uint32_t primitiveType, uint32_t first, uint32_t count);
    void drawIndexed(const Vertices& vertices, uint32_t primitiveType, const uint32_t* indices,
                     uint32_t count, uint32_t first, uint32_t last);
    // A textured quad in back-buffer pixels, the texture's colour modulated
    // by `colour` and blended by its alpha, whatever the device's state.
    void drawScreenQuad(GLuint texture, float left, float top, float right, float bottom,
                        uint32_t colour);

private:
    Device(WindowHandle window, std::unique_ptr<WindowContext> context);
    ~Device() override;

    bool makeBackBuffer(PresentParameters& parameters);
    bool prepareDraw(const Vertices& vertices, uint32_t last);
    const uint8_t* screenPositions(const Vertices& vertices, uint32_t last);

    WindowHandle window_;
    std::unique_ptr<WindowContext> context_;
    std::unique_ptr<TextureCache> textures_;
    std::unique_ptr<BackBuffer> backBuffer_;
    DeviceState state_{true};
    // The groups of state_ (gl_fixed_function_linux.h) that OpenGL may not hold as
    // they stand, and what the last draw applied them for.
    uint32_t stale_ = kAllStateGroups;
    VertexParts appliedParts_;
    uint32_t appliedWidth_ = 0;
    uint32_t appliedHeight_ = 0;
    uint32_t maxTextureSize_ = 0;
    bool inScene_ = false;
    std::vector<float> positions_;  // pre-transformed positions as OpenGL takes them
};

}  // namespace platform::gl
