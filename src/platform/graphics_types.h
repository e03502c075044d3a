// Records the graphics interface exchanges with its callers: vectors,
// matrices, colours, light, material, present parameters, font description.
// Layouts follow the Direct3D 9 records member for member.
#pragma once

#include <cstdint>

#include "platform/types.h"

namespace platform {

struct Vector3 {
    float x = 0;
    float y = 0;
    float z = 0;
};

// Row-major 4x4 matrix, row vectors (a point is transformed as p * M).
struct Matrix {
    float m[4][4] = {};
    friend bool operator==(const Matrix&, const Matrix&) = default;
};

struct ColourValue {
    float r = 0;
    float g = 0;
    float b = 0;
    float a = 0;
};

struct Light {
    uint32_t type = 0;
    ColourValue diffuse;
    ColourValue specular;
    ColourValue ambient;
    Vector3 position;
    Vector3 direction;
    float range = 0;
    float falloff = 0;
    float attenuation0 = 0;
    float attenuation1 = 0;
    float attenuation2 = 0;
    float theta = 0;
    float phi = 0;
};

struct Material {
    ColourValue diffuse;
    ColourValue ambient;
    ColourValue specular;
    ColourValue emissive;
    float power = 0;
};

// One entry of a loaded mesh's material buffer.
struct MeshMaterial {
    Material material;
    char* textureFilename = nullptr;  // null when the material names no texture
};

struct PresentParameters {
    uint32_t backBufferWidth = 0;
    uint32_t backBufferHeight = 0;
    uint32_t backBufferFormat = 0;
    uint32_t backBufferCount = 0;
    uint32_t multiSampleType = 0;
    uint32_t multiSampleQuality = 0;
    uint32_t swapEffect = 0;
    WindowHandle deviceWindow = nullptr;
    int32_t windowed = 0;
    int32_t enableAutoDepthStencil = 0;
    uint32_t autoDepthStencilFormat = 0;
    uint32_t flags = 0;
    uint32_t fullScreenRefreshRate = 0;
    uint32_t presentationInterval = 0;
};

struct FontDescription {
    int32_t height = 0;
    uint32_t width = 0;
    uint32_t weight = 0;
    uint32_t mipLevels = 0;
    int32_t italic = 0;
    uint8_t charSet = 0;
    uint8_t outputPrecision = 0;
    uint8_t quality = 0;
    uint8_t pitchAndFamily = 0;
    char faceName[32] = {};
};

}  // namespace platform
