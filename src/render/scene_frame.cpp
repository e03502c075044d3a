#include "render/scene_frame.h"

#include <cmath>

#include "controls/viewer_state.h"
#include "platform/matrix.h"
#include "platform/windows_values.h"
#include "render/graphics_device.h"
#include "render/model_mesh.h"
#include "render/status_text.h"
#include "render/tint_quad.h"

namespace {

constexpr double kLookAheadDistance = 2.0;

constexpr int32_t kStatusLeft = 50;
constexpr int32_t kKeyHelpTop = 40;
constexpr int32_t kTintLineTop = 56;
constexpr int32_t kSaveLineTop = 4;
constexpr int32_t kNoticeTop = 22;  // between the save line and the key help

// Sums in double precision, stored back as a single-precision float.
void advance(float& value, double step) {
    value = static_cast<float>(static_cast<double>(value) + step);
}

void advanceModel(ViewerState& state) {
    const double heading = state.heading;
    advance(state.modelRotation.z, state.rotationStepZ);
    advance(state.modelRotation.x, state.rotationStepX);
    advance(state.modelPosition.x, static_cast<double>(state.modelStep) * std::sin(heading));
    advance(state.modelPosition.z, static_cast<double>(state.modelStep) * std::cos(heading));
    advance(state.modelPosition.y, state.liftStep);
    advance(state.modelRotation.y, state.rotationStepY);
}

// Only the low byte of each field counts.
uint32_t tintColour(const ViewerState& state) {
    return (static_cast<uint32_t>(static_cast<uint16_t>(state.tintAlpha)) & 0xFF) << 24 |
           (static_cast<uint32_t>(state.tintRed) & 0xFF) << 16 |
           (static_cast<uint32_t>(state.tintGreen) & 0xFF) << 8 |
           (static_cast<uint32_t>(state.tintBlue) & 0xFF);
}

void aimCamera(ViewerState& state) {
    const double heading = state.heading;
    state.cameraTarget.y = state.targetHeight;
    state.cameraTarget.x = static_cast<float>(static_cast<double>(state.cameraEye.x) +
                                              kLookAheadDistance * std::sin(heading));
    state.cameraTarget.z = static_cast<float>(static_cast<double>(state.cameraEye.z) +
                                              kLookAheadDistance * std::cos(heading));
}

void drawStatusLines(ViewerState& state) {
    formatKeyHelpLine(state.textLine, sizeof state.textLine);
    drawStatusText(kStatusLeft, kKeyHelpTop, state.textLine, kStatusTextColour);
    formatTintLine(state.textLine, sizeof state.textLine, state);
    drawStatusText(kStatusLeft, kTintLineTop, state.textLine, kStatusTextColour);
    if (formatSaveLine(state.textLine, sizeof state.textLine, state))
        drawStatusText(kStatusLeft, kSaveLineTop, state.textLine, kStatusTextColour);
    if (formatNoticeLine(state.textLine, sizeof state.textLine))
        drawStatusText(kStatusLeft, kNoticeTop, state.textLine, kStatusTextColour);
}

}  // namespace

void renderSceneFrame() {
    ViewerState& state = viewerState();
    applySceneLight();
    advanceModel(state);
    if (state.model) state.model->draw(state.modelPosition, state.modelRotation);
    if (state.overlay) {
        state.overlay->setColour(tintColour(state));
        state.overlay->draw(static_cast<float>(state.overlayX), static_cast<float>(state.overlayY),
                            static_cast<float>(state.overlayWidth),
                            static_cast<float>(state.overlayHeight));
    }
    // Set after the draws: the model of the next frame sees this camera.
    aimCamera(state);
    setViewTransform(state.cameraEye, state.cameraTarget, state.cameraUp);
    setProjectionTransform(kFieldOfView, kAspectRatio, kNearPlane, kFarPlane);
    drawStatusLines(state);
}

void setViewTransform(const platform::Vector3& eye, const platform::Vector3& at,
                      const platform::Vector3& up) {
    platform::Matrix view{};
    platform::D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    viewerState().device->SetTransform(platform::D3DTS_VIEW, &view);
}

void setProjectionTransform(float fovY, float aspect, float zNear, float zFar) {
    platform::Matrix projection{};
    platform::D3DXMatrixPerspectiveFovLH(&projection, fovY, aspect, zNear, zFar);
    viewerState().device->SetTransform(platform::D3DTS_PROJECTION, &projection);
}

void drawStatusText(int32_t x, int32_t y, const char* text, uint32_t colour) {
    platform::Rect rect{x, y, 0, 0};
    viewerState().textFont->DrawTextA(nullptr, text, -1, &rect, kStatusTextFormat, colour);
}
