// Direct3D 9's fixed-function pipeline on OpenGL's: before each draw, the
// whole OpenGL state a draw reads is set from the device's Direct3D state, so
// nothing else that draws (the font, the present) needs to put anything back.
//
// Kept as Direct3D has it: per-vertex lighting in camera space with the light
// directions given in world space, a local viewer, specular added after
// texturing, the material or the vertex colour as the diffuse source, no
// global ambient unless set, counter-clockwise faces culled; a texture stage
// that reads a texture when none is bound passes the diffuse colour on.
// Approximated: spot lights' falloff and every light's range (OpenGL has
// neither); fog is not drawn. Only texture stage 0 is used.
#pragma once

#include <GL/gl.h>

#include <cstdint>

#include "platform/linux/gl_device_state.h"

namespace platform::gl {

// What a draw's vertices carry.
struct VertexParts {
    bool pretransformed = false;
    bool normal = false;
    bool diffuse = false;
    bool specular = false;
    bool texCoord = false;
};

// The state for a draw into a `width` by `height` back buffer (`depth`: it
// has a depth buffer).
void applyDrawState(const DeviceState& state, const VertexParts& parts, uint32_t width,
                    uint32_t height, bool depth);

// The state for a textured quad in screen pixels, blended by its alpha over
// the picture, whatever the device's state (the font's lines).
void applyOverlayState(GLuint texture, uint32_t width, uint32_t height);

}  // namespace platform::gl
