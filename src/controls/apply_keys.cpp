#include "controls/apply_keys.h"

#include <cmath>

#include "controls/viewer_state.h"

namespace {

// The angle between forward and sideways; deliberately 1.57, not pi/2.
constexpr double kSidewaysOffset = 1.57;

constexpr float kEyeStep = 0.04f;
constexpr float kModelStep = 0.03f;
constexpr int kOverlayStep = 3;
constexpr float kAmbientStep = 0.01f;
constexpr float kEyeSideStep = 0.03f;
constexpr float kModelSideStep = 0.02f;
constexpr float kLiftStep = 0.03f;
constexpr float kRotationStep = 0.02f;

constexpr float kAmbientMax = 1.0f;
constexpr float kAmbientMin = 0.05f;
constexpr float kTargetHeightMin = 2.0f;
constexpr float kTargetHeightMax = 4.0f;

// 16-bit fields keep the low 16 bits of a full-width sum.
uint16_t wrapped(uint16_t value, int change) { return static_cast<uint16_t>(value + change); }
int16_t wrapped(int16_t value, int change) { return static_cast<int16_t>(value + change); }

// The step that the first key of the pair asks for, if down, else the second's.
float firstWins(const KeySet& down, int32_t first, float firstStep, int32_t second,
                float secondStep) {
    if (down.isDown(first)) return firstStep;
    if (down.isDown(second)) return secondStep;
    return 0.0f;
}

// Moves a point sideways by `step` at `angle` (heading ± the offset), in
// double precision, rounded to single when stored.
void moveSideways(platform::Vector3& point, float step, double angle) {
    point.x = static_cast<float>(static_cast<double>(point.x) + step * std::sin(angle));
    point.z = static_cast<float>(static_cast<double>(point.z) + step * std::cos(angle));
}

// One ambient component: the counter and the float move together; the limits
// bring them to 100 and 1.0, or to 1 and 0.05.
void applyAmbient(const KeySet& down, int32_t lower, int32_t raise, uint16_t& percent,
                  float& level) {
    if (down.isDown(lower)) {
        percent = wrapped(percent, -1);
        level = level - kAmbientStep;
    }
    if (down.isDown(raise)) {
        percent = wrapped(percent, 1);
        level = level + kAmbientStep;
    }
    if (level > kAmbientMax) {
        level = kAmbientMax;
        percent = 100;
    }
    if (level < kAmbientMin) {
        level = kAmbientMin;
        percent = 1;
    }
}

// One tint component: 1 to 255 for the colours, 0 to 255 for alpha.
template <class Field>
void applyTint(const KeySet& down, int32_t lower, int32_t raise, Field& value, Field minimum) {
    if (down.isDown(lower)) value = wrapped(value, -1);
    if (down.isDown(raise)) value = wrapped(value, 1);
    if (value > 254) value = 255;
    if (value < minimum + 1) value = minimum;
}

void applyOverlay(const KeySet& down, ViewerState& state) {
    if (down.isDown(keys::key('D'))) state.overlayX = wrapped(state.overlayX, kOverlayStep);
    if (down.isDown(keys::key('A'))) state.overlayX = wrapped(state.overlayX, -kOverlayStep);
    if (down.isDown(keys::key('W'))) state.overlayY = wrapped(state.overlayY, -kOverlayStep);
    if (down.isDown(keys::key('S'))) state.overlayY = wrapped(state.overlayY, kOverlayStep);
    if (down.isDown(keys::key('Q')))
        state.overlayWidth = wrapped(state.overlayWidth, -kOverlayStep);
    if (down.isDown(keys::key('E'))) state.overlayWidth = wrapped(state.overlayWidth, kOverlayStep);
    if (down.isDown(keys::key('Z')))
        state.overlayHeight = wrapped(state.overlayHeight, -kOverlayStep);
    if (down.isDown(keys::key('C')))
        state.overlayHeight = wrapped(state.overlayHeight, kOverlayStep);
    if (state.overlayWidth < 4) state.overlayWidth = 3;
    if (state.overlayHeight < 4) state.overlayHeight = 3;
}

// Keypad 6, 4, 7, 3: only the first that is down acts.
void applySideways(const KeySet& down, ViewerState& state) {
    const double heading = state.heading;
    if (down.isDown(keys::kNumpad6)) {
        moveSideways(state.cameraEye, kEyeSideStep, heading + kSidewaysOffset);
    } else if (down.isDown(keys::kNumpad4)) {
        moveSideways(state.cameraEye, kEyeSideStep, heading - kSidewaysOffset);
    } else if (down.isDown(keys::kNumpad7)) {
        moveSideways(state.modelPosition, kModelSideStep, heading + kSidewaysOffset);
    } else if (down.isDown(keys::kNumpad3)) {
        moveSideways(state.modelPosition, kModelSideStep, heading - kSidewaysOffset);
    }
}

// An arrow moves the panel one pixel on the frame its hold counter becomes 1.
void applyArrow(const KeySet& down, int32_t key, uint16_t& held, int32_t dx, int32_t dy,
                platform::Rect& rect, KeyRequests& requests) {
    if (!down.isDown(key)) {
        held = 0;
        return;
    }
    held = wrapped(held, 1);
    if (held != 1) return;
    rect.left += dx;
    rect.right += dx;
    rect.top += dy;
    rect.bottom += dy;
    requests.moves[requests.moveCount++] =
        PanelMove{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace

KeyRequests applyKeys(const KeySet& down, ViewerState& state, const platform::Rect& panelRect) {
    KeyRequests requests;
    requests.quit = down.isDown(keys::kEscape);

    // Every step field starts the pass at 0 and ends it at 0, +step or -step.
    state.eyeStep = firstWins(down, keys::kNumpad2, -kEyeStep, keys::kNumpad8, kEyeStep);
    state.modelStep = firstWins(down, keys::kNumpad1, -kModelStep, keys::kNumpad9, kModelStep);
    applyOverlay(down, state);
    applyAmbient(down, keys::key('8'), keys::key('I'), state.ambientRedPercent, state.ambientRed);
    applyAmbient(down, keys::key('9'), keys::key('O'), state.ambientGreenPercent,
                 state.ambientGreen);
    applyAmbient(down, keys::key('0'), keys::key('P'), state.ambientBluePercent, state.ambientBlue);
    applyTint<int16_t>(down, keys::key('7'), keys::key('U'), state.tintAlpha, 0);
    applyTint<uint16_t>(down, keys::key('1'), keys::key('2'), state.tintRed, 1);
    applyTint<uint16_t>(down, keys::key('3'), keys::key('4'), state.tintGreen, 1);
    applyTint<uint16_t>(down, keys::key('5'), keys::key('6'), state.tintBlue, 1);
    applySideways(down, state);
    state.liftStep = firstWins(down, keys::kAdd, kLiftStep, keys::kSubtract, -kLiftStep);
    state.rotationStepZ =
        firstWins(down, keys::kLeftShift, kRotationStep, keys::kRightShift, -kRotationStep);
    state.rotationStepX =
        firstWins(down, keys::kLeftControl, kRotationStep, keys::kRightControl, -kRotationStep);
    state.rotationStepY =
        firstWins(down, keys::kDivide, kRotationStep, keys::kMultiply, -kRotationStep);

    if (down.isDown(keys::kF5)) {
        state.captureMode = 2;
        requests.snapshot = true;
    }

    state.panelRect = panelRect;
    applyArrow(down, keys::kLeft, state.leftHeld, -1, 0, state.panelRect, requests);
    applyArrow(down, keys::kRight, state.rightHeld, 1, 0, state.panelRect, requests);
    applyArrow(down, keys::kUp, state.upHeld, 0, -1, state.panelRect, requests);
    applyArrow(down, keys::kDown, state.downHeld, 0, 1, state.panelRect, requests);

    if (state.targetHeight < kTargetHeightMin) state.targetHeight = kTargetHeightMin;
    if (state.targetHeight > kTargetHeightMax) state.targetHeight = kTargetHeightMax;

    const double heading = state.heading;
    state.cameraEye.x = static_cast<float>(static_cast<double>(state.cameraEye.x) +
                                           state.eyeStep * std::sin(heading));
    state.cameraEye.z = static_cast<float>(static_cast<double>(state.cameraEye.z) +
                                           state.eyeStep * std::cos(heading));
    return requests;
}
