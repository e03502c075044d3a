// The device's matrices as OpenGL takes them. The program's matrices are
// Direct3D's: row vectors, left-handed, depth 0 (near) to 1 (far) after the
// projection, pixel centres on whole screen coordinates. OpenGL reads a
// row-major row-vector matrix as the column-major column-vector one it needs,
// so only the clip space differs: depth -1 to 1, and pixel centres half a
// pixel off, which the projection makes up for. No OpenGL here, so that the
// unit tests check it.
#pragma once

#include <cstdint>

#include "platform/graphics_types.h"
#include "platform/matrix.h"

namespace platform::gl {

// How far right and down of OpenGL's pixel centres Direct3D's lie: just under
// half a pixel, so that an edge on a whole coordinate covers the pixel right
// of (below) it, as Direct3D's fill rule does, and never both.
inline constexpr float kPixelCentreOffset = 63.0f / 128.0f;

// Clip space of Direct3D to clip space of OpenGL for a `width` by `height`
// viewport: z' = 2z - w, and x, y moved by the pixel-centre offset.
inline Matrix clipSpaceOfGl(uint32_t width, uint32_t height) {
    Matrix fix{};
    fix.m[0][0] = 1.0f;
    fix.m[1][1] = 1.0f;
    fix.m[2][2] = 2.0f;
    fix.m[3][3] = 1.0f;
    fix.m[3][0] = 2.0f * kPixelCentreOffset / static_cast<float>(width == 0 ? 1 : width);
    fix.m[3][1] = -2.0f * kPixelCentreOffset / static_cast<float>(height == 0 ? 1 : height);
    fix.m[3][2] = -1.0f;
    return fix;
}

// The projection to load for a Direct3D projection matrix.
inline Matrix glProjection(const Matrix& projection, uint32_t width, uint32_t height) {
    const Matrix fix = clipSpaceOfGl(width, height);
    Matrix out{};
    D3DXMatrixMultiply(&out, &projection, &fix);
    return out;
}

// The projection for pre-transformed vertices: screen x right and y down in
// pixels of the `width` by `height` back buffer, z 0 to 1.
inline Matrix screenProjection(uint32_t width, uint32_t height) {
    const float w = static_cast<float>(width == 0 ? 1 : width);
    const float h = static_cast<float>(height == 0 ? 1 : height);
    Matrix screen{};
    screen.m[0][0] = 2.0f / w;
    screen.m[1][1] = -2.0f / h;
    screen.m[2][2] = 1.0f;
    screen.m[3][0] = -1.0f;
    screen.m[3][1] = 1.0f;
    screen.m[3][3] = 1.0f;
    return glProjection(screen, width, height);
}

}  // namespace platform::gl
