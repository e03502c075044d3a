// The state the device holds as Direct3D 9 defines it: render states,
// transforms, lights, material, texture stage states, the bound texture and
// the vertex format, with Direct3D's defaults. The device applies it to
// OpenGL before each draw (gl_fixed_function_linux.cpp).
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>

#include "platform/graphics_types.h"
#include "platform/matrix.h"
#include "platform/windows_values.h"

namespace platform::gl {

struct GlTexture;

// How many render states (D3DRS_*) and texture stage states (D3DTSS_*) the
// device holds, and its texture stages.
namespace rs {
inline constexpr uint32_t kCount = 256;
}  // namespace rs

namespace tss {
inline constexpr uint32_t kCount = 33;
inline constexpr uint32_t kStages = 8;
}  // namespace tss

struct LightSlot {
    Light light;
    bool enabled = false;
};

struct DeviceState {
    // Direct3D's defaults; depth testing is on when the device has a depth
    // buffer.
    explicit DeviceState(bool depthBuffer) {
        renderStates.fill(0);
        renderStates[D3DRS_ZENABLE] = depthBuffer ? 1 : 0;
        renderStates[D3DRS_FILLMODE] = D3DFILL_SOLID;
        renderStates[D3DRS_SHADEMODE] = D3DSHADE_GOURAUD;
        renderStates[D3DRS_ZWRITEENABLE] = 1;
        renderStates[D3DRS_LASTPIXEL] = 1;
        renderStates[D3DRS_SRCBLEND] = D3DBLEND_ONE;
        renderStates[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
        renderStates[D3DRS_CULLMODE] = D3DCULL_CCW;
        renderStates[D3DRS_ZFUNC] = D3DCMP_LESSEQUAL;
        renderStates[D3DRS_ALPHAFUNC] = D3DCMP_ALWAYS;
        renderStates[D3DRS_TEXTUREFACTOR] = 0xFFFFFFFF;
        renderStates[D3DRS_CLIPPING] = 1;
        renderStates[D3DRS_LIGHTING] = 1;
        renderStates[D3DRS_COLORVERTEX] = 1;
        renderStates[D3DRS_LOCALVIEWER] = 1;
        renderStates[D3DRS_DIFFUSEMATERIALSOURCE] = D3DMCS_COLOR1;
        renderStates[D3DRS_SPECULARMATERIALSOURCE] = D3DMCS_COLOR2;
        renderStates[D3DRS_COLORWRITEENABLE] = 0xF;
        renderStates[D3DRS_BLENDOP] = D3DBLENDOP_ADD;
        for (uint32_t stage = 0; stage < tss::kStages; ++stage) {
            auto& states = stageStates[stage];
            states.fill(0);
            states[D3DTSS_COLOROP] = stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
            states[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
            states[D3DTSS_COLORARG2] = D3DTA_CURRENT;
            states[D3DTSS_ALPHAOP] = stage == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
            states[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
            states[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
            states[D3DTSS_TEXCOORDINDEX] = stage;
            states[D3DTSS_COLORARG0] = D3DTA_CURRENT;
            states[D3DTSS_ALPHAARG0] = D3DTA_CURRENT;
            states[D3DTSS_RESULTARG] = D3DTA_CURRENT;
        }
        D3DXMatrixIdentity(&world);
        D3DXMatrixIdentity(&view);
        D3DXMatrixIdentity(&projection);
    }

    uint32_t renderState(uint32_t state) const {
        return state < rs::kCount ? renderStates[state] : 0;
    }

    std::array<uint32_t, rs::kCount> renderStates{};
    std::array<std::array<uint32_t, tss::kCount>, tss::kStages> stageStates{};
    Matrix world;
    Matrix view;
    Matrix projection;
    std::map<uint32_t, LightSlot> lights;
    Material material;                         // all zero, as Direct3D starts
    std::shared_ptr<const GlTexture> texture;  // stage 0, held while bound
    uint32_t fvf = 0;
};

// The light Direct3D makes for an index enabled before it was set: white
// directional light along +z.
inline Light defaultLight() {
    Light light;
    light.type = D3DLIGHT_DIRECTIONAL;
    light.diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
    light.direction = {0.0f, 0.0f, 1.0f};
    return light;
}

}  // namespace platform::gl
