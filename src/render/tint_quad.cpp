#include "render/tint_quad.h"

// Stand-in until the tint quad is built.
TintQuad::TintQuad() : vertices{} {}
TintQuad::~TintQuad() { release(); }
void TintQuad::setColour(uint32_t) {}
void TintQuad::draw(float, float, float, float) {}
void TintQuad::release() { texture.reset(); }
