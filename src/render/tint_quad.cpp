#include "render/tint_quad.h"

#include "controls/viewer_state.h"
#include "platform/windows_values.h"

namespace {

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
    device->SetTextureStageState(0, platform::D3DTSS_ALPHAOP, platform::D3DTOP_MODULATE);
    device->SetTextureStageState(0, platform::D3DTSS_COLORARG1, platform::D3DTA_TEXTURE);
    device->SetTextureStageState(0, platform::D3DTSS_COLORARG2, platform::D3DTA_DIFFUSE);
    device->SetRenderState(platform::D3DRS_ALPHABLENDENABLE, 1);
    device->SetRenderState(platform::D3DRS_SRCBLEND, platform::D3DBLEND_SRCALPHA);
    device->SetRenderState(platform::D3DRS_DESTBLEND, platform::D3DBLEND_INVSRCALPHA);
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

    device->DrawPrimitiveUP(platform::D3DPT_TRIANGLEFAN, 2, vertices, sizeof(OverlayVertex));
    device->SetRenderState(platform::D3DRS_ALPHABLENDENABLE, 0);
}

void TintQuad::release() { texture.reset(); }
