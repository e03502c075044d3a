// Flexible vertex formats: where each part of a vertex lies in the caller's
// memory, and how many vertices a primitive count means. No OpenGL here, so
// that the unit tests check it.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/windows_values.h"

namespace platform::gl {

// Byte offsets of the parts a vertex has; -1 for a part it lacks.
struct VertexFormat {
    bool pretransformed = false;  // x, y in screen pixels, z, then 1/w
    uint32_t positionSize = 3;    // floats
    int32_t normal = -1;
    int32_t diffuse = -1;  // 0xAARRGGBB
    int32_t specular = -1;
    int32_t texCoord = -1;  // the first set
    uint32_t texCoordSize = 2;
    uint32_t stride = 0;
};

// The layout of a format code; nothing for a code without a position.
constexpr std::optional<VertexFormat> vertexFormatOf(uint32_t fvf) {
    VertexFormat format;
    uint32_t offset = 0;
    const uint32_t position = fvf & D3DFVF_POSITION_MASK;
    if (position == D3DFVF_XYZ) {
        offset = 12;
    } else if (position == D3DFVF_XYZRHW) {
        format.pretransformed = true;
        format.positionSize = 4;
        offset = 16;
    } else if (position == D3DFVF_XYZW) {
        format.positionSize = 4;
        offset = 16;
    } else if (position >= 0x6 && position <= 0xE) {
        offset = 12 + 4 * ((position - 0x4) / 2);  // XYZB1 to XYZB5: blend weights follow
    } else {
        return std::nullopt;
    }
    auto take = [&offset](int32_t& part, uint32_t size) {
        part = static_cast<int32_t>(offset);
        offset += size;
    };
    if (fvf & D3DFVF_NORMAL) take(format.normal, 12);
    if (fvf & D3DFVF_PSIZE) offset += 4;
    if (fvf & D3DFVF_DIFFUSE) take(format.diffuse, 4);
    if (fvf & D3DFVF_SPECULAR) take(format.specular, 4);
    const uint32_t sets = (fvf >> 8) & 0xF;
    for (uint32_t set = 0; set < sets && set < 8; ++set) {
        // Two bits per set from bit 16: 0 two floats, 1 three, 2 four, 3 one.
        constexpr uint32_t kSizes[4] = {2, 3, 4, 1};
        const uint32_t size = kSizes[(fvf >> (16 + 2 * set)) & 3];
        if (set == 0) {
            format.texCoord = static_cast<int32_t>(offset);
            format.texCoordSize = size;
        }
        offset += 4 * size;
    }
    format.stride = offset;
    return format;
}

// The vertices `count` primitives of the type take; 0 for an unknown type.
constexpr uint64_t vertexCountOf(uint32_t primitiveType, uint32_t count) {
    const uint64_t n = count;
    switch (primitiveType) {
        case D3DPT_POINTLIST:
            return n;
        case D3DPT_LINELIST:
            return 2 * n;
        case D3DPT_LINESTRIP:
            return n == 0 ? 0 : n + 1;
        case D3DPT_TRIANGLELIST:
            return 3 * n;
        case D3DPT_TRIANGLESTRIP:
        case D3DPT_TRIANGLEFAN:
            return n == 0 ? 0 : n + 2;
        default:
            return 0;
    }
}

}  // namespace platform::gl
