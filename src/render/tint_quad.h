// The screen-space rectangle of one colour blended over the picture.
#pragma once

#include <cstdint>

#include "platform/graphics.h"
#include "platform/ref.h"
#include "platform/windows_values.h"

// The vertex layout the device reads for the quad: position with reciprocal
// w, colour, one texture coordinate pair.
struct OverlayVertex {
    float x;
    float y;
    float z;
    float rhw;
    uint32_t colour;
    float u;
    float v;
};
static_assert(sizeof(OverlayVertex) == 28);

class TintQuad {
public:
    static constexpr uint32_t kVertexFormat =
        platform::D3DFVF_XYZRHW | platform::D3DFVF_DIFFUSE | platform::D3DFVF_TEX1;

    TintQuad();
    ~TintQuad();
    TintQuad(const TintQuad&) = delete;
    TintQuad& operator=(const TintQuad&) = delete;

    void setColour(uint32_t argb);
    void draw(float x, float y, float width, float height);
    void release();

    platform::Ref<platform::Direct3DTexture9> texture;  // never filled
    OverlayVertex vertices[4];
};
