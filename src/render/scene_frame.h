// The content of one frame: light, model, tint, camera and status text.
#pragma once

#include <cstdint>

#include "platform/graphics_types.h"
#include "platform/windows_values.h"

inline constexpr float kFieldOfView = 1.0471976f;  // 60 degrees
inline constexpr float kAspectRatio = 1.0f;
inline constexpr float kNearPlane = 0.01f;
inline constexpr float kFarPlane = 2000.0f;
inline constexpr uint32_t kStatusTextColour = 0xFFC8C8C8;  // alpha 255, grey 200
inline constexpr uint32_t kStatusTextFormat = platform::DT_NOCLIP | platform::DT_EXPANDTABS;

void renderSceneFrame();
void setViewTransform(const platform::Vector3& eye, const platform::Vector3& at,
                      const platform::Vector3& up);
void setProjectionTransform(float fovY, float aspect, float zNear, float zFar);
void drawStatusText(int32_t x, int32_t y, const char* text, uint32_t colour);
