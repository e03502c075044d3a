// A mesh read from a .x file, in the form the device draws it: one vertex
// array in the file's vertex format, triangles grouped by subset, and one
// material per subset.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/graphics_types.h"

namespace xfile {

// Vertex format bits (the device's FVF codes).
constexpr uint32_t kFvfXyz = 0x002;
constexpr uint32_t kFvfNormal = 0x010;
constexpr uint32_t kFvfDiffuse = 0x040;
constexpr uint32_t kFvfTex1 = 0x100;

struct Vertex {
    platform::Vector3 position;
    platform::Vector3 normal;  // (0, 0, 0) where the file gives none
    uint32_t diffuse = 0;      // ARGB
    float u = 0;
    float v = 0;
};

// Triangles [faceStart, faceStart + faceCount) of the index list, using the
// vertices [vertexStart, vertexStart + vertexCount).
struct Subset {
    uint32_t faceStart = 0;
    uint32_t faceCount = 0;
    uint32_t vertexStart = 0;
    uint32_t vertexCount = 0;
};

struct MeshMaterial {
    platform::Material material;
    // The raw bytes of the TextureFilename, when the material has one.
    std::optional<std::string> textureFilename;
};

struct Mesh {
    uint32_t fvf = kFvfXyz;
    std::vector<Vertex> vertices;
    std::vector<uint32_t> indices;  // three per triangle, subset by subset
    std::vector<Subset> subsets;    // subset i is drawn with materials[i]
    std::vector<MeshMaterial> materials;

    uint32_t triangleCount() const { return static_cast<uint32_t>(indices.size() / 3); }
    // Indices need 32 bits once there are more vertices than 16 bits count.
    bool needs32BitIndices() const { return vertices.size() > 0xFFFF; }
    // Bytes per vertex in the `fvf` layout: position, normal, diffuse, uv.
    uint32_t vertexStride() const;
    // The vertices in the `fvf` layout, as the device reads them.
    std::vector<uint8_t> packedVertices() const;
    // The indices as 16-bit values; only when !needs32BitIndices().
    std::vector<uint16_t> indices16() const;
};

}  // namespace xfile
