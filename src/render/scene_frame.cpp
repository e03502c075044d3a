#include "render/scene_frame.h"

#include "render/graphics_device.h"

// Stand-in until the scene is built: the light only.
void renderSceneFrame() { applySceneLight(); }
void setViewTransform(const platform::Vector3&, const platform::Vector3&, const platform::Vector3&) {}
void setProjectionTransform(float, float, float, float) {}
void drawStatusText(int32_t, int32_t, const char*, uint32_t) {}
