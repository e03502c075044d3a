#include "render/tint_quad.h"

#include "controls/viewer_state.h"

namespace {

constexpr uint32_t kStageAlphaOperation = 4;   // D3DTSS_ALPHAOP
constexpr uint32_t kStageColourArgument1 = 2;  // D3DTSS_COLORARG1
constexpr uint32_t kStageColourArgument2 = 3;  // D3DTSS_COLORARG2
constexpr uint32_t kOperationModulate = 4;     // D3DTOP_MODULATE
constexpr uint32_t kArgumentTexture = 2;       // D3DTA_TEXTURE
constexpr uint32_t kArgumentDiffuse = 0;       // D3DTA_DIFFUSE

constexpr uint32_t kRenderStateAlphaBlendEnable = 27;
constexpr uint32_t kRenderStateSourceBlend = 19;
constexpr uint32_t kRenderStateDestinationBlend = 20;
constexpr uint32_t kBlendSourceAlpha = 5;
constexpr uint32_t kBlendInverseSourceAlpha = 6;

constexpr uint32_t kTriangleFan = 6;
constexpr uint32_t kOpaqueWhite = 0xFFFFFFFF;

}  // namespace

TintQuad::TintQuad() : vertices{} {
    for (OverlayVertex& vertex : vertices) {
        vertex.z = 0.0f;
        vertex.rhw = 1.0f;
        vertex.colour = kOpaqueWhite;
    }
}

TintQuad::~TintQuad() { release(); }

void TintQuad::setColour(uint32_t argb) {
    for (OverlayVertex& vertex : vertices) vertex.colour = argb;
}

void TintQuad::draw(float x, float y, float width, float height) {
    platform::Direct3DDevice9* device = viewerState().device.get();
    if (device == nullptr) return;
    device->SetTextureStageState(0, kStageAlphaOperation, kOperationModulate);
    device->SetTextureStageState(0, kStageColourArgument1, kArgumentTexture);
    device->SetTextureStageState(0, kStageColourArgument2, kArgumentDiffuse);
    device->SetRenderState(kRenderStateAlphaBlendEnable, 1);
    device->SetRenderState(kRenderStateSourceBlend, kBlendSourceAlpha);
    device->SetRenderState(kRenderStateDestinationBlend, kBlendInverseSourceAlpha);
    // The quad's texture is never filled, so this leaves stage 0 unbound.
    device->SetTexture(0, texture.get());
    device->SetFVF(kVertexFormat);

    const float right = x + width;
    const float bottom = y + height;
    vertices[0].x = x;
    vertices[0].y = y;
    vertices[0].u = 0.0f;
    vertices[0].v = 0.0f;
    vertices[1].x = right;
    vertices[1].y = y;
    vertices[1].u = 1.0f;
    vertices[1].v = 0.0f;
    vertices[2].x = right;
    vertices[2].y = bottom;
    vertices[2].u = 1.0f;
    vertices[2].v = 1.0f;
    vertices[3].x = x;
    vertices[3].y = bottom;
    vertices[3].u = 0.0f;
    vertices[3].v = 1.0f;

    device->DrawPrimitiveUP(kTriangleFan, 2, vertices, sizeof(OverlayVertex));
    device->SetRenderState(kRenderStateAlphaBlendEnable, 0);
}

void TintQuad::release() { texture.reset(); }
