#define GL_GLEXT_PROTOTYPES 1
#include "platform/linux/gl_fixed_function_linux.h"

#include <GL/glext.h>

#include <algorithm>
#include <numbers>

#include "platform/linux/gl_texture_linux.h"
#include "platform/linux/gl_transforms_linux.h"

namespace platform::gl {
namespace {

constexpr uint32_t kMaxLights = 8;

struct Rgba {
    GLfloat v[4];
};

Rgba rgbaOf(const ColourValue& colour) { return {{colour.r, colour.g, colour.b, colour.a}}; }

Rgba rgbaOf(uint32_t argb) {
    return {{static_cast<float>((argb >> 16) & 0xFF) / 255.0f,
             static_cast<float>((argb >> 8) & 0xFF) / 255.0f,
             static_cast<float>(argb & 0xFF) / 255.0f, static_cast<float>(argb >> 24) / 255.0f}};
}

void loadMatrix(const Matrix& matrix) { glLoadMatrixf(&matrix.m[0][0]); }

// Direct3D's comparison codes 1 (never) to 8 (always) are OpenGL's in order.
GLenum comparisonOf(uint32_t function) {
    return function >= 1 && function <= 8 ? GL_NEVER + (function - 1) : GL_ALWAYS;
}

GLenum blendFactorOf(uint32_t blend) {
    switch (blend) {
        case 1:
            return GL_ZERO;
        case 2:
            return GL_ONE;
        case 3:
            return GL_SRC_COLOR;
        case 4:
            return GL_ONE_MINUS_SRC_COLOR;
        case 5:
            return GL_SRC_ALPHA;
        case 6:
            return GL_ONE_MINUS_SRC_ALPHA;
        case 7:
            return GL_DST_ALPHA;
        case 8:
            return GL_ONE_MINUS_DST_ALPHA;
        case 9:
            return GL_DST_COLOR;
        case 10:
            return GL_ONE_MINUS_DST_COLOR;
        case 11:
            return GL_SRC_ALPHA_SATURATE;
        case 14:
            return GL_CONSTANT_COLOR;
        case 15:
            return GL_ONE_MINUS_CONSTANT_COLOR;
        default:
            return GL_ONE;
    }
}

GLenum blendEquationOf(uint32_t operation) {
    switch (operation) {
        case 2:
            return GL_FUNC_SUBTRACT;
        case 3:
            return GL_FUNC_REVERSE_SUBTRACT;
        case 4:
            return GL_MIN;
        case 5:
            return GL_MAX;
        default:
            return GL_FUNC_ADD;
    }
}

void applyBlending(const DeviceState& state) {
    if (state.renderState(D3DRS_ALPHABLENDENABLE) == 0) {
        glDisable(GL_BLEND);
        return;
    }
    glEnable(GL_BLEND);
    GLenum source = blendFactorOf(state.renderState(D3DRS_SRCBLEND));
    GLenum destination = blendFactorOf(state.renderState(D3DRS_DESTBLEND));
    // "Both" factors set the destination's from the source's.
    if (state.renderState(D3DRS_SRCBLEND) == 12) {
        source = GL_SRC_ALPHA;
        destination = GL_ONE_MINUS_SRC_ALPHA;
    } else if (state.renderState(D3DRS_SRCBLEND) == 13) {
        source = GL_ONE_MINUS_SRC_ALPHA;
        destination = GL_SRC_ALPHA;
    }
    glBlendFunc(source, destination);
    glBlendEquation(blendEquationOf(state.renderState(D3DRS_BLENDOP)));
    const Rgba factor = rgbaOf(state.renderState(193));  // D3DRS_BLENDFACTOR
    glBlendColor(factor.v[0], factor.v[1], factor.v[2], factor.v[3]);
}

void applyRasterStates(const DeviceState& state, bool depth) {
    const uint32_t zEnable = state.renderState(D3DRS_ZENABLE);
    if (depth && zEnable != 0) {
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(comparisonOf(state.renderState(D3DRS_ZFUNC)));
        glDepthMask(state.renderState(D3DRS_ZWRITEENABLE) != 0 ? GL_TRUE : GL_FALSE);
    } else {
        glDisable(GL_DEPTH_TEST);
    }
    if (state.renderState(D3DRS_ALPHATESTENABLE) != 0) {
        glEnable(GL_ALPHA_TEST);
        glAlphaFunc(comparisonOf(state.renderState(D3DRS_ALPHAFUNC)),
                    static_cast<float>(state.renderState(D3DRS_ALPHAREF) & 0xFF) / 255.0f);
    } else {
        glDisable(GL_ALPHA_TEST);
    }
    // Front faces are counter-clockwise on the screen; Direct3D names the
    // winding it culls.
    glFrontFace(GL_CCW);
    switch (state.renderState(D3DRS_CULLMODE)) {
        case D3DCULL_CW:
            glEnable(GL_CULL_FACE);
            glCullFace(GL_BACK);
            break;
        case D3DCULL_CCW:
            glEnable(GL_CULL_FACE);
            glCullFace(GL_FRONT);
            break;
        default:
            glDisable(GL_CULL_FACE);
            break;
    }
    const uint32_t fill = state.renderState(D3DRS_FILLMODE);
    glPolygonMode(GL_FRONT_AND_BACK, fill == D3DFILL_POINT       ? GL_POINT
                                     : fill == D3DFILL_WIREFRAME ? GL_LINE
                                                                 : GL_FILL);
    glShadeModel(state.renderState(D3DRS_SHADEMODE) == D3DSHADE_FLAT ? GL_FLAT : GL_SMOOTH);
    if (state.renderState(D3DRS_DITHERENABLE) != 0) {
        glEnable(GL_DITHER);
    } else {
        glDisable(GL_DITHER);
    }
    const uint32_t mask = state.renderState(D3DRS_COLORWRITEENABLE);
    glColorMask((mask & 1) != 0, (mask & 2) != 0, (mask & 4) != 0, (mask & 8) != 0);
    glDisable(GL_FOG);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_STENCIL_TEST);
}

// --- lighting -------------------------------------------------------------

void setLight(GLenum id, const Light& light) {
    const Rgba ambient = rgbaOf(light.ambient);
    const Rgba diffuse = rgbaOf(light.diffuse);
    const Rgba specular = rgbaOf(light.specular);
    glLightfv(id, GL_AMBIENT, ambient.v);
    glLightfv(id, GL_DIFFUSE, diffuse.v);
    glLightfv(id, GL_SPECULAR, specular.v);
    if (light.type == D3DLIGHT_DIRECTIONAL) {
        // OpenGL's directional light is given by the way towards the light.
        const GLfloat towards[4] = {-light.direction.x, -light.direction.y, -light.direction.z,
                                    0.0f};
        glLightfv(id, GL_POSITION, towards);
        glLightf(id, GL_SPOT_CUTOFF, 180.0f);
        glLightf(id, GL_CONSTANT_ATTENUATION, 1.0f);
        glLightf(id, GL_LINEAR_ATTENUATION, 0.0f);
        glLightf(id, GL_QUADRATIC_ATTENUATION, 0.0f);
        return;
    }
    const GLfloat position[4] = {light.position.x, light.position.y, light.position.z, 1.0f};
    glLightfv(id, GL_POSITION, position);
    const bool none = light.attenuation0 == 0 && light.attenuation1 == 0 && light.attenuation2 == 0;
    glLightf(id, GL_CONSTANT_ATTENUATION, none ? 1.0f : light.attenuation0);
    glLightf(id, GL_LINEAR_ATTENUATION, light.attenuation1);
    glLightf(id, GL_QUADRATIC_ATTENUATION, light.attenuation2);
    if (light.type == D3DLIGHT_SPOT) {  // the outer cone, and the falloff as an exponent
        const GLfloat direction[3] = {light.direction.x, light.direction.y, light.direction.z};
        glLightfv(id, GL_SPOT_DIRECTION, direction);
        const float halfAngle = std::clamp(light.phi * 0.5f, 0.0f, std::numbers::pi_v<float> / 2);
        glLightf(id, GL_SPOT_CUTOFF, halfAngle * 180.0f / std::numbers::pi_v<float>);
        glLightf(id, GL_SPOT_EXPONENT, std::clamp(light.falloff, 0.0f, 128.0f));
    } else {
        glLightf(id, GL_SPOT_CUTOFF, 180.0f);
    }
}

// The lights, given with the view matrix loaded: their positions and
// directions are in world space, OpenGL keeps them in camera space.
void applyLights(const DeviceState& state) {
    uint32_t used = 0;
    for (const auto& [index, slot] : state.lights) {
        if (!slot.enabled || used == kMaxLights) continue;
        const GLenum id = GL_LIGHT0 + used++;
        glEnable(id);
        setLight(id, slot.light);
    }
    for (; used < kMaxLights; ++used) glDisable(GL_LIGHT0 + used);
}

void applyMaterial(const DeviceState& state, bool vertexColour) {
    const Material& material = state.material;
    const bool specularOn = state.renderState(D3DRS_SPECULARENABLE) != 0;
    const Rgba ambient = rgbaOf(material.ambient);
    const Rgba diffuse = rgbaOf(material.diffuse);
    const Rgba specular = specularOn ? rgbaOf(material.specular) : Rgba{{0, 0, 0, 0}};
    const Rgba emissive = rgbaOf(material.emissive);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ambient.v);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse.v);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular.v);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, emissive.v);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, std::clamp(material.power, 0.0f, 128.0f));

    // The vertex colour stands for the material colours whose source is it
    // (OpenGL follows one target, or ambient and diffuse together).
    auto fromVertex = [&](uint32_t source) {
        return vertexColour && state.renderState(D3DRS_COLORVERTEX) != 0 &&
               state.renderState(source) == 1;
    };
    GLenum target = 0;
    if (fromVertex(D3DRS_DIFFUSEMATERIALSOURCE)) {
        target = fromVertex(D3DRS_AMBIENTMATERIALSOURCE) ? GL_AMBIENT_AND_DIFFUSE : GL_DIFFUSE;
    } else if (fromVertex(D3DRS_AMBIENTMATERIALSOURCE)) {
        target = GL_AMBIENT;
    } else if (fromVertex(D3DRS_EMISSIVEMATERIALSOURCE)) {
        target = GL_EMISSION;
    } else if (specularOn && fromVertex(D3DRS_SPECULARMATERIALSOURCE)) {
        target = GL_SPECULAR;
    }
    if (target != 0) {
        glColorMaterial(GL_FRONT_AND_BACK, target);
        glEnable(GL_COLOR_MATERIAL);
    } else {
        glDisable(GL_COLOR_MATERIAL);
    }
}

void applyLighting(const DeviceState& state, const VertexParts& parts, bool lit) {
    const bool specularOn = state.renderState(D3DRS_SPECULARENABLE) != 0;
    if (!lit) {
        glDisable(GL_LIGHTING);
        glDisable(GL_COLOR_MATERIAL);
        // Unlit vertices give their own specular colour, added after texturing.
        if (specularOn && parts.specular) {
            glEnable(GL_COLOR_SUM);
        } else {
            glDisable(GL_COLOR_SUM);
        }
        return;
    }
    glDisable(GL_COLOR_SUM);
    glEnable(GL_LIGHTING);
    const Rgba ambient = rgbaOf(state.renderState(D3DRS_AMBIENT));
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient.v);
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, state.renderState(D3DRS_LOCALVIEWER) != 0);
    glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SEPARATE_SPECULAR_COLOR);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_FALSE);
    if (state.renderState(D3DRS_NORMALIZENORMALS) != 0) {
        glEnable(GL_NORMALIZE);
    } else {
        glDisable(GL_NORMALIZE);
    }
    applyMaterial(state, parts.diffuse);
}

void applyTransformsAndLights(const DeviceState& state, const VertexParts& parts, bool lit,
                              uint32_t width, uint32_t height) {
    glMatrixMode(GL_PROJECTION);
    loadMatrix(parts.pretransformed ? screenProjection(width, height)
                                    : glProjection(state.projection, width, height));
    glMatrixMode(GL_MODELVIEW);
    if (parts.pretransformed) {
        glLoadIdentity();
        return;
    }
    loadMatrix(state.view);
    if (lit) applyLights(state);
    Matrix worldView{};
    D3DXMatrixMultiply(&worldView, &state.world, &state.view);
    loadMatrix(worldView);
}

// --- texture stage 0 ------------------------------------------------------

struct Source {
    GLenum source;
    GLenum operand;
};

Source sourceOf(uint32_t argument, bool alpha) {
    const uint32_t which = argument & 0xF;
    const bool complement = (argument & 0x10) != 0;
    const bool replicate = alpha || (argument & 0x20) != 0;
    Source out{GL_PRIMARY_COLOR, 0};
    if (which == D3DTA_TEXTURE) out.source = GL_TEXTURE;
    if (which == D3DTA_TFACTOR) out.source = GL_CONSTANT;
    if (replicate) {
        out.operand = complement ? GL_ONE_MINUS_SRC_ALPHA : GL_SRC_ALPHA;
    } else {
        out.operand = complement ? GL_ONE_MINUS_SRC_COLOR : GL_SRC_COLOR;
    }
    return out;
}

void setCombiner(bool alpha, uint32_t operation, uint32_t argument1, uint32_t argument2) {
    GLenum combine = GL_MODULATE;
    float scale = 1.0f;
    Source sources[3] = {
        sourceOf(argument1, alpha), sourceOf(argument2, alpha), {GL_PRIMARY_COLOR, GL_SRC_ALPHA}};
    switch (operation) {
        case 1:  // disabled alpha under an enabled colour: the diffuse alpha
            combine = GL_REPLACE;
            sources[0] = sourceOf(D3DTA_CURRENT, alpha);
            break;
        case 2:
            combine = GL_REPLACE;
            break;
        case 3:
            combine = GL_REPLACE;
            sources[0] = sources[1];
            break;
        case 5:
            scale = 2.0f;
            break;
        case 6:
            scale = 4.0f;
            break;
        case 7:
            combine = GL_ADD;
            break;
        case 8:
            combine = GL_ADD_SIGNED;
            break;
        case 9:
            combine = GL_ADD_SIGNED;
            scale = 2.0f;
            break;
        case 10:
            combine = GL_SUBTRACT;
            break;
        case 12:  // blend by the diffuse alpha
        case 16:  // by the current alpha (the diffuse one at stage 0)
            combine = GL_INTERPOLATE;
            break;
        case 13:  // by the texture's alpha
            combine = GL_INTERPOLATE;
            sources[2].source = GL_TEXTURE;
            break;
        case 14:  // by the texture factor's alpha
            combine = GL_INTERPOLATE;
            sources[2].source = GL_CONSTANT;
            break;
        default:  // modulate, and what OpenGL's combiner lacks
            break;
    }
    glTexEnvi(GL_TEXTURE_ENV, alpha ? GL_COMBINE_ALPHA : GL_COMBINE_RGB,
              static_cast<GLint>(combine));
    for (int i = 0; i < 3; ++i) {
        glTexEnvi(GL_TEXTURE_ENV, (alpha ? GL_SRC0_ALPHA : GL_SRC0_RGB) + i,
                  static_cast<GLint>(sources[i].source));
        glTexEnvi(GL_TEXTURE_ENV, (alpha ? GL_OPERAND0_ALPHA : GL_OPERAND0_RGB) + i,
                  static_cast<GLint>(sources[i].operand));
    }
    glTexEnvf(GL_TEXTURE_ENV, alpha ? GL_ALPHA_SCALE : GL_RGB_SCALE, scale);
}

void applyTextureStage(const DeviceState& state) {
    const auto& stage = state.stageStates[0];
    glActiveTexture(GL_TEXTURE0);
    if (state.texture == nullptr || stage[D3DTSS_COLOROP] == D3DTOP_DISABLE) {
        glDisable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, 0);
        return;
    }
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, state.texture->name);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
    const Rgba factor = rgbaOf(state.renderState(D3DRS_TEXTUREFACTOR));
    glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, factor.v);
    setCombiner(false, stage[D3DTSS_COLOROP], stage[D3DTSS_COLORARG1], stage[D3DTSS_COLORARG2]);
    setCombiner(true, stage[D3DTSS_ALPHAOP], stage[D3DTSS_ALPHAARG1], stage[D3DTSS_ALPHAARG2]);
}

}  // namespace

void applyDrawState(const DeviceState& state, const VertexParts& parts, uint32_t width,
                    uint32_t height, bool depth, uint32_t groups) {
    // Pre-transformed vertices are never lit.
    const bool lit = !parts.pretransformed && state.renderState(D3DRS_LIGHTING) != 0;
    if (groups & kTransformsAndLights) applyTransformsAndLights(state, parts, lit, width, height);
    if (groups & kLighting) applyLighting(state, parts, lit);
    if (groups & kTextureStage) applyTextureStage(state);
    if (groups & kBlending) applyBlending(state);
    if (groups & kRasterStates) applyRasterStates(state, depth);
}

void applyOverlayState(GLuint texture, uint32_t width, uint32_t height) {
    glMatrixMode(GL_PROJECTION);
    loadMatrix(screenProjection(width, height));
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_COLOR_MATERIAL);
    glDisable(GL_COLOR_SUM);
    glActiveTexture(GL_TEXTURE0);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBlendEquation(GL_FUNC_ADD);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_CULL_FACE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glShadeModel(GL_SMOOTH);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDisable(GL_FOG);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_STENCIL_TEST);
}

}  // namespace platform::gl
