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

#include "platform/linux/gl_device_state_linux.h"

namespace platform::gl {

// What a draw's vertices carry.
struct VertexParts {
    bool pretransformed = false;
    bool normal = false;
    bool diffuse = false;
    bool specular = false;
    bool texCoord = false;

    bool operator==(const VertexParts&) const = default;
};

// The parts of the state that are applied each on their own, so that a draw
// needs to apply only those the device's state has changed in since the
// draw before (a model of many materials sets the same ones again).
enum StateGroup : uint32_t {
    kTransformsAndLights = 1,  // the matrices, and the lights given under the view
    kLighting = 2,             // light model and material
    kTextureStage = 4,         // the bound texture and stage 0's combiner
    kBlending = 8,
    kRasterStates = 16,  // depth, alpha test, culling, fill, masks
    kAllStateGroups = 31,
};

// The state for a draw into a `width` by `height` back buffer (`depth`: it
// has a depth buffer): the groups of it named in `groups`, which must name
// every group that another call may have changed in OpenGL since it was last
// applied for this state, these vertex parts and this back buffer.
void applyDrawState(const DeviceState& state, const VertexParts& parts, uint32_t width,
                    uint32_t height, bool depth, uint32_t groups = kAllStateGroups);

// The state for a textured quad in screen pixels, blended by its alpha over
// the picture, whatever the device's state (the font's lines).
void applyOverlayState(GLuint texture, uint32_t width, uint32_t height);

}  // namespace platform::gl
