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

namespace platform::gl {

struct GlTexture;

// Render states (Direct3D's D3DRS_* codes) this device reads.
namespace rs {
inline constexpr uint32_t kZEnable = 7;
inline constexpr uint32_t kFillMode = 8;
inline constexpr uint32_t kShadeMode = 9;
inline constexpr uint32_t kZWriteEnable = 14;
inline constexpr uint32_t kAlphaTestEnable = 15;
inline constexpr uint32_t kSourceBlend = 19;
inline constexpr uint32_t kDestinationBlend = 20;
inline constexpr uint32_t kCullMode = 22;
inline constexpr uint32_t kZFunction = 23;
inline constexpr uint32_t kAlphaReference = 24;
inline constexpr uint32_t kAlphaFunction = 25;
inline constexpr uint32_t kDitherEnable = 26;
inline constexpr uint32_t kAlphaBlendEnable = 27;
inline constexpr uint32_t kFogEnable = 28;
inline constexpr uint32_t kSpecularEnable = 29;
inline constexpr uint32_t kTextureFactor = 60;
inline constexpr uint32_t kLighting = 137;
inline constexpr uint32_t kAmbient = 139;
inline constexpr uint32_t kColourVertex = 141;
inline constexpr uint32_t kLocalViewer = 142;
inline constexpr uint32_t kNormalizeNormals = 143;
inline constexpr uint32_t kDiffuseMaterialSource = 145;
inline constexpr uint32_t kSpecularMaterialSource = 146;
inline constexpr uint32_t kAmbientMaterialSource = 147;
inline constexpr uint32_t kEmissiveMaterialSource = 148;
inline constexpr uint32_t kColourWriteEnable = 168;
inline constexpr uint32_t kBlendOperation = 171;
inline constexpr uint32_t kCount = 256;
}  // namespace rs

// Texture stage states (D3DTSS_*).
namespace tss {
inline constexpr uint32_t kColourOperation = 1;
inline constexpr uint32_t kColourArgument1 = 2;
inline constexpr uint32_t kColourArgument2 = 3;
inline constexpr uint32_t kAlphaOperation = 4;
inline constexpr uint32_t kAlphaArgument1 = 5;
inline constexpr uint32_t kAlphaArgument2 = 6;
inline constexpr uint32_t kTexCoordIndex = 11;
inline constexpr uint32_t kColourArgument0 = 26;
inline constexpr uint32_t kAlphaArgument0 = 27;
inline constexpr uint32_t kResultArgument = 28;
inline constexpr uint32_t kCount = 33;
inline constexpr uint32_t kStages = 8;

// Operations (D3DTOP_*) and arguments (D3DTA_*).
inline constexpr uint32_t kDisable = 1;
inline constexpr uint32_t kSelectArgument1 = 2;
inline constexpr uint32_t kModulate = 4;
inline constexpr uint32_t kArgumentDiffuse = 0;
inline constexpr uint32_t kArgumentCurrent = 1;
inline constexpr uint32_t kArgumentTexture = 2;
}  // namespace tss

// Transform codes (D3DTS_*).
inline constexpr uint32_t kTransformView = 2;
inline constexpr uint32_t kTransformProjection = 3;
inline constexpr uint32_t kTransformWorld = 256;

inline constexpr uint32_t kLightDirectional = 3;

struct LightSlot {
    Light light;
    bool enabled = false;
};

struct DeviceState {
    // Direct3D's defaults; depth testing is on when the device has a depth
    // buffer.
    explicit DeviceState(bool depthBuffer) {
        renderStates.fill(0);
        renderStates[rs::kZEnable] = depthBuffer ? 1 : 0;
        renderStates[rs::kFillMode] = 3;   // solid
        renderStates[rs::kShadeMode] = 2;  // Gouraud
        renderStates[rs::kZWriteEnable] = 1;
        renderStates[16] = 1;                     // last pixel
        renderStates[rs::kSourceBlend] = 2;       // one
        renderStates[rs::kDestinationBlend] = 1;  // zero
        renderStates[rs::kCullMode] = 3;          // counter-clockwise faces culled
        renderStates[rs::kZFunction] = 4;         // less or equal
        renderStates[rs::kAlphaFunction] = 8;     // always
        renderStates[rs::kTextureFactor] = 0xFFFFFFFF;
        renderStates[136] = 1;  // clipping
        renderStates[rs::kLighting] = 1;
        renderStates[rs::kColourVertex] = 1;
        renderStates[rs::kLocalViewer] = 1;
        renderStates[rs::kDiffuseMaterialSource] = 1;   // vertex colour 1
        renderStates[rs::kSpecularMaterialSource] = 2;  // vertex colour 2
        renderStates[rs::kColourWriteEnable] = 0xF;
        renderStates[rs::kBlendOperation] = 1;  // add
        for (uint32_t stage = 0; stage < tss::kStages; ++stage) {
            auto& states = stageStates[stage];
            states.fill(0);
            states[tss::kColourOperation] = stage == 0 ? tss::kModulate : tss::kDisable;
            states[tss::kColourArgument1] = tss::kArgumentTexture;
            states[tss::kColourArgument2] = tss::kArgumentCurrent;
            states[tss::kAlphaOperation] = stage == 0 ? tss::kSelectArgument1 : tss::kDisable;
            states[tss::kAlphaArgument1] = tss::kArgumentTexture;
            states[tss::kAlphaArgument2] = tss::kArgumentCurrent;
            states[tss::kTexCoordIndex] = stage;
            states[tss::kColourArgument0] = tss::kArgumentCurrent;
            states[tss::kAlphaArgument0] = tss::kArgumentCurrent;
            states[tss::kResultArgument] = tss::kArgumentCurrent;
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
    light.type = kLightDirectional;
    light.diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
    light.direction = {0.0f, 0.0f, 1.0f};
    return light;
}

}  // namespace platform::gl
