#define GL_GLEXT_PROTOTYPES 1
#include "platform/linux/gl_device_linux.h"

#include <GL/glext.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/linux/gl_fixed_function_linux.h"
#include "platform/linux/gl_texture_linux.h"
#include "platform/linux/gl_x_errors_linux.h"
#include "platform/linux/unsupported_linux.h"
#include "platform/linux/window_record_linux.h"
#include "platform/linux/x11_display_linux.h"
#include "platform/windows_values.h"

namespace platform::gl {
namespace {

GLenum modeOf(uint32_t primitiveType) {
    switch (primitiveType) {
        case D3DPT_POINTLIST:
            return GL_POINTS;
        case D3DPT_LINELIST:
            return GL_LINES;
        case D3DPT_LINESTRIP:
            return GL_LINE_STRIP;
        case D3DPT_TRIANGLESTRIP:
            return GL_TRIANGLE_STRIP;
        case D3DPT_TRIANGLEFAN:
            return GL_TRIANGLE_FAN;
        default:
            return GL_TRIANGLES;
    }
}

// One part of the vertices as an OpenGL client array, or its constant value
// when the vertices lack it.
void setArray(GLenum array, bool present) {
    if (present) {
        glEnableClientState(array);
    } else {
        glDisableClientState(array);
    }
}

}  // namespace

int32_t Device::create(Display* display, WindowHandle window, PresentParameters& parameters,
                       Device** device) {
    *device = nullptr;
    const x11::ClientArea area = x11::clientAreaOf(window);
    if (area.window == None) return kInvalidCall;
    std::unique_ptr<WindowContext> context = WindowContext::create(display, area.window);
    if (!context) return kNotAvailable;
    auto* created = new Device(window, std::move(context));
    if (!created->makeBackBuffer(parameters)) {
        created->Release();
        return kNotAvailable;
    }
    *device = created;
    return kOk;
}

Device::Device(WindowHandle window, std::unique_ptr<WindowContext> context)
    : window_(window), context_(std::move(context)), textures_(std::make_unique<TextureCache>()) {
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    maxTextureSize_ = static_cast<uint32_t>(std::max(largest, 1));
}

Device::~Device() {
    // The back buffer and the textures go while the context is still there.
    makeCurrent();
    backBuffer_.reset();
    state_.texture.reset();
    textures_.reset();
}

bool Device::makeCurrent() { return context_->makeCurrent(); }

// The back buffer the parameters ask for; a size of 0 is the client area's
// and an unknown format the desktop's, as Direct3D fills them in.
bool Device::makeBackBuffer(PresentParameters& parameters) {
    if (parameters.backBufferWidth == 0 || parameters.backBufferHeight == 0) {
        const Rect client = x11::clientAreaOf(window_).client;
        if (parameters.backBufferWidth == 0)
            parameters.backBufferWidth =
                static_cast<uint32_t>(std::max(client.right - client.left, 1));
        if (parameters.backBufferHeight == 0)
            parameters.backBufferHeight =
                static_cast<uint32_t>(std::max(client.bottom - client.top, 1));
    }
    x11::supportedOrReported(isListed(kListedFormats, parameters.backBufferFormat),
                             "CreateDevice or Reset", "back buffer format",
                             parameters.backBufferFormat);
    if (parameters.enableAutoDepthStencil != 0)
        x11::supportedOrReported(isListed(kListedFormats, parameters.autoDepthStencilFormat),
                                 "CreateDevice or Reset", "depth format",
                                 parameters.autoDepthStencilFormat);
    if (parameters.backBufferFormat == D3DFMT_UNKNOWN)
        parameters.backBufferFormat = D3DFMT_X8R8G8B8;
    if (parameters.backBufferCount == 0) parameters.backBufferCount = 1;
    const bool depth = parameters.enableAutoDepthStencil != 0;
    backBuffer_.reset();
    backBuffer_ = BackBuffer::create(parameters.backBufferWidth, parameters.backBufferHeight,
                                     parameters.backBufferFormat, depth);
    state_ = DeviceState(depth);
    forgetAppliedState();
    inScene_ = false;
    if (!backBuffer_) return false;
    backBuffer_->bind();
    return true;
}

int32_t Device::Reset(PresentParameters* parameters) {
    if (parameters == nullptr) return kInvalidCall;
    if (!makeCurrent()) return kDeviceLost;
    if (parameters->deviceWindow != nullptr) window_ = parameters->deviceWindow;
    return makeBackBuffer(*parameters) ? kOk : kNotAvailable;
}

int32_t Device::BeginScene() {
    if (inScene_) return kInvalidCall;
    inScene_ = true;
    return kOk;
}

int32_t Device::EndScene() {
    if (!inScene_) return kInvalidCall;
    inScene_ = false;
    return kOk;
}

int32_t Device::Clear(uint32_t rectCount, const Rect* rects, uint32_t flags, uint32_t colour,
                      float z, uint32_t /*stencil*/) {
    x11::supportedOrReported(onlyListedFlags(kListedClearFlags, flags), "Clear", "flags", flags);
    if (!backBuffer_ || ((flags & D3DCLEAR_ZBUFFER) != 0 && !backBuffer_->hasDepth()))
        return kInvalidCall;
    if (!makeCurrent()) return kDeviceLost;
    backBuffer_->bind();
    forgetAppliedState();  // masks and scissor
    GLbitfield mask = 0;
    if (flags & D3DCLEAR_TARGET) {
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glClearColor(static_cast<float>((colour >> 16) & 0xFF) / 255.0f,
                     static_cast<float>((colour >> 8) & 0xFF) / 255.0f,
                     static_cast<float>(colour & 0xFF) / 255.0f,
                     static_cast<float>(colour >> 24) / 255.0f);
        mask |= GL_COLOR_BUFFER_BIT;
    }
    if (flags & D3DCLEAR_ZBUFFER) {
        glDepthMask(GL_TRUE);
        glClearDepth(std::clamp(z, 0.0f, 1.0f));
        mask |= GL_DEPTH_BUFFER_BIT;
    }
    if (mask == 0) return kOk;
    if (rects == nullptr || rectCount == 0) {
        glDisable(GL_SCISSOR_TEST);
        glClear(mask);
        return kOk;
    }
    // Rectangles from the top left; OpenGL's scissor counts from the bottom.
    const auto height = static_cast<GLint>(backBuffer_->height());
    glEnable(GL_SCISSOR_TEST);
    for (uint32_t i = 0; i < rectCount; ++i) {
        const Rect& r = rects[i];
        if (r.right <= r.left || r.bottom <= r.top) continue;
        glScissor(r.left, height - r.bottom, r.right - r.left, r.bottom - r.top);
        glClear(mask);
    }
    glDisable(GL_SCISSOR_TEST);
    return kOk;
}

// The back buffer (or the source rectangle of it) scaled onto the client area
// (or the destination rectangle in it) of the device window, then shown. Fails
// only when the frame cannot be shown: the window is gone.
int32_t Device::Present(const Rect* source, const Rect* destination, WindowHandle window,
                        const void* /*dirtyRegion*/) {
    if (!backBuffer_) return kDeviceNotReset;
    const x11::ClientArea area = x11::clientAreaOf(window != nullptr ? window : window_);
    if (area.window == None || !makeCurrent()) return kDeviceLost;
    Display* display = context_->display();
    XErrorTrap trap(display, area.window);
    forgetAppliedState();
    if (!context_->moveTo(area.window)) return kDeviceLost;
    ::Window root = None;
    int x = 0;
    int y = 0;
    unsigned width = 0;
    unsigned height = 0;
    unsigned border = 0;
    unsigned depth = 0;
    if (XGetGeometry(display, area.window, &root, &x, &y, &width, &height, &border, &depth) == 0)
        return kDeviceLost;

    const Rect from = source != nullptr ? *source
                                        : Rect{0, 0, static_cast<int32_t>(backBuffer_->width()),
                                               static_cast<int32_t>(backBuffer_->height())};
    Rect to = area.client;
    if (destination != nullptr) {
        to = Rect{area.client.left + destination->left, area.client.top + destination->top,
                  area.client.left + destination->right, area.client.top + destination->bottom};
    }
    if (to.right <= to.left || to.bottom <= to.top || from.right <= from.left ||
        from.bottom <= from.top)
        return kOk;  // nothing to show (a minimised window)
    // OpenGL counts rows from the bottom, of the back buffer and the window.
    const auto bufferHeight = static_cast<int32_t>(backBuffer_->height());
    const auto windowHeight = static_cast<int32_t>(height);
    backBuffer_->blitToWindow(
        {from.left, bufferHeight - from.bottom, from.right - from.left, from.bottom - from.top},
        {to.left, windowHeight - to.bottom, to.right - to.left, to.bottom - to.top});
    const bool wholeWindow = to.left <= 0 && to.top <= 0 &&
                             to.right >= static_cast<int32_t>(width) &&
                             to.bottom >= static_cast<int32_t>(height);
    context_->show(to.left, windowHeight - to.bottom, to.right - to.left, to.bottom - to.top,
                   wholeWindow);
    return trap.failed() ? kDeviceLost : kOk;
}

// Each setting marks the groups of state that read it as to be applied
// again; a value set again unchanged marks nothing where that is cheap to
// tell (the material and the texture, which a model sets for every subset).
int32_t Device::SetLight(uint32_t index, const Light* light) {
    if (light == nullptr) return kInvalidCall;
    state_.lights[index].light = *light;
    stale_ |= kTransformsAndLights;
    return kOk;
}

int32_t Device::LightEnable(uint32_t index, int32_t enable) {
    auto [slot, inserted] = state_.lights.try_emplace(index);
    if (inserted) slot->second.light = defaultLight();
    slot->second.enabled = enable != 0;
    stale_ |= kTransformsAndLights;
    return kOk;
}

int32_t Device::SetRenderState(uint32_t state, uint32_t value) {
    x11::supportedOrReported(isListed(kListedRenderStates, state), "SetRenderState", "state",
                             state);
    if (state < rs::kCount && state_.renderStates[state] != value) {
        state_.renderStates[state] = value;
        stale_ = kAllStateGroups;  // lighting alone is read by every group
    }
    return kOk;
}

int32_t Device::SetTransform(uint32_t state, const Matrix* matrix) {
    if (matrix == nullptr) return kInvalidCall;
    x11::supportedOrReported(isListed(kListedTransforms, state), "SetTransform", "transform",
                             state);
    if (state == D3DTS_WORLD) state_.world = *matrix;
    if (state == D3DTS_VIEW) state_.view = *matrix;
    if (state == D3DTS_PROJECTION) state_.projection = *matrix;
    stale_ |= kTransformsAndLights;
    return kOk;
}

int32_t Device::SetMaterial(const Material* material) {
    if (material == nullptr) return kInvalidCall;
    if (std::memcmp(&state_.material, material, sizeof(Material)) != 0) {
        state_.material = *material;
        stale_ |= kLighting;
    }
    return kOk;
}

int32_t Device::SetTexture(uint32_t stage, Direct3DTexture9* texture) {
    if (stage != 0) return kOk;
    std::shared_ptr<const GlTexture> bound =
        texture != nullptr ? static_cast<const Texture*>(texture)->texture() : nullptr;
    if (bound != state_.texture) {
        state_.texture = std::move(bound);
        stale_ |= kTextureStage;
    }
    return kOk;
}

int32_t Device::SetTextureStageState(uint32_t stage, uint32_t type, uint32_t value) {
    x11::supportedOrReported(isListed(kListedTextureStageStates, type), "SetTextureStageState",
                             "state", type);
    if (stage < tss::kStages && type < tss::kCount && state_.stageStates[stage][type] != value) {
        state_.stageStates[stage][type] = value;
        stale_ |= kTextureStage;
    }
    return kOk;
}

int32_t Device::SetFVF(uint32_t fvf) {
    x11::supportedOrReported(onlyListedFlags(kListedVertexFormats, fvf), "SetFVF", "format", fvf);
    state_.fvf = fvf;
    return kOk;
}

int32_t Device::DrawPrimitiveUP(uint32_t primitiveType, uint32_t primitiveCount,
                                const void* vertices, uint32_t stride) {
    x11::supportedOrReported(isListed(kListedPrimitiveTypes, primitiveType), "DrawPrimitiveUP",
                             "primitive type", primitiveType);
    const std::optional<VertexFormat> format = vertexFormatOf(state_.fvf);
    const uint64_t count = vertexCountOf(primitiveType, primitiveCount);
    if (!format || vertices == nullptr || stride == 0 || count == 0 || count > 0x7FFFFFFF)
        return kInvalidCall;
    draw({*format, static_cast<const uint8_t*>(vertices), stride}, primitiveType, 0,
         static_cast<uint32_t>(count));
    return kOk;
}

// Pre-transformed positions (x, y, z, 1/w) as the clip-space positions
// (x w, y w, z w, w) that give them back after OpenGL's division, so that
// textures are still interpolated with the perspective the vertices carry.
const uint8_t* Device::screenPositions(const Vertices& vertices, uint32_t last) {
    const uint32_t stride = vertices.stride != 0 ? vertices.stride : vertices.format.stride;
    positions_.resize((size_t{last} + 1) * 4);
    for (size_t i = 0; i <= last; ++i) {
        float p[4];
        std::memcpy(p, vertices.data + i * stride, sizeof p);
        const float w = p[3] != 0.0f && std::isfinite(p[3]) ? 1.0f / p[3] : 1.0f;
        positions_[i * 4] = p[0] * w;
        positions_[i * 4 + 1] = p[1] * w;
        positions_[i * 4 + 2] = p[2] * w;
        positions_[i * 4 + 3] = w;
    }
    return reinterpret_cast<const uint8_t*>(positions_.data());
}

bool Device::prepareDraw(const Vertices& vertices, uint32_t last) {
    if (!backBuffer_ || !makeCurrent()) return false;
    const VertexFormat& format = vertices.format;
    const auto stride =
        static_cast<GLsizei>(vertices.stride != 0 ? vertices.stride : format.stride);
    const VertexParts parts{format.pretransformed, format.normal >= 0, format.diffuse >= 0,
                            format.specular >= 0, format.texCoord >= 0};
    backBuffer_->bind();
    if (!(parts == appliedParts_) || backBuffer_->width() != appliedWidth_ ||
        backBuffer_->height() != appliedHeight_)
        stale_ = kAllStateGroups;
    applyDrawState(state_, parts, backBuffer_->width(), backBuffer_->height(),
                   backBuffer_->hasDepth(), stale_);
    stale_ = 0;
    appliedParts_ = parts;
    appliedWidth_ = backBuffer_->width();
    appliedHeight_ = backBuffer_->height();

    glEnableClientState(GL_VERTEX_ARRAY);
    if (format.pretransformed) {
        glVertexPointer(4, GL_FLOAT, 0, screenPositions(vertices, last));
    } else {
        glVertexPointer(static_cast<GLint>(format.positionSize), GL_FLOAT, stride, vertices.data);
    }
    setArray(GL_NORMAL_ARRAY, parts.normal);
    if (parts.normal) {
        glNormalPointer(GL_FLOAT, stride, vertices.data + format.normal);
    } else {
        glNormal3f(0.0f, 0.0f, 0.0f);  // Direct3D lights such vertices with no normal
    }
    // Colours are 0xAARRGGBB words: BGRA bytes.
    setArray(GL_COLOR_ARRAY, parts.diffuse);
    if (parts.diffuse) {
        glColorPointer(GL_BGRA, GL_UNSIGNED_BYTE, stride, vertices.data + format.diffuse);
    } else {
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    }
    setArray(GL_SECONDARY_COLOR_ARRAY, parts.specular);
    if (parts.specular) {
        glSecondaryColorPointer(GL_BGRA, GL_UNSIGNED_BYTE, stride, vertices.data + format.specular);
    } else {
        glSecondaryColor3f(0.0f, 0.0f, 0.0f);
    }
    glClientActiveTexture(GL_TEXTURE0);
    setArray(GL_TEXTURE_COORD_ARRAY, parts.texCoord);
    if (parts.texCoord) {
        glTexCoordPointer(static_cast<GLint>(format.texCoordSize), GL_FLOAT, stride,
                          vertices.data + format.texCoord);
    } else {
        glMultiTexCoord4f(GL_TEXTURE0, 0.0f, 0.0f, 0.0f, 1.0f);
    }
    return true;
}

void Device::draw(const Vertices& vertices, uint32_t primitiveType, uint32_t first,
                  uint32_t count) {
    if (count == 0 || !prepareDraw(vertices, first + count - 1)) return;
    glDrawArrays(modeOf(primitiveType), static_cast<GLint>(first), static_cast<GLsizei>(count));
}

void Device::drawIndexed(const Vertices& vertices, uint32_t primitiveType, const uint32_t* indices,
                         uint32_t count, uint32_t first, uint32_t last) {
    if (count == 0 || last < first || !prepareDraw(vertices, last)) return;
    glDrawRangeElements(modeOf(primitiveType), first, last, static_cast<GLsizei>(count),
                        GL_UNSIGNED_INT, indices);
}

void Device::drawScreenQuad(GLuint texture, float left, float top, float right, float bottom,
                            uint32_t colour) {
    if (!backBuffer_ || !makeCurrent()) return;
    backBuffer_->bind();
    forgetAppliedState();
    applyOverlayState(texture, backBuffer_->width(), backBuffer_->height());
    glColor4ub(static_cast<GLubyte>(colour >> 16), static_cast<GLubyte>(colour >> 8),
               static_cast<GLubyte>(colour), static_cast<GLubyte>(colour >> 24));
    glBegin(GL_TRIANGLE_STRIP);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(left, top);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(right, top);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(left, bottom);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(right, bottom);
    glEnd();
}

}  // namespace platform::gl
