// The content of one frame: light, model, tint, camera and status text.
#pragma once

#include <cstdint>

#include "platform/graphics_types.h"

void renderSceneFrame();
void setViewTransform(const platform::Vector3& eye, const platform::Vector3& at,
                      const platform::Vector3& up);
void setProjectionTransform(float fovY, float aspect, float zNear, float zFar);
void drawStatusText(int32_t x, int32_t y, const char* text, uint32_t colour);
