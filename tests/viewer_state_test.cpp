// The viewer's record: the width and signedness of every field (which decide
// how values wrap) and the values every run starts from.
#include "controls/viewer_state.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <type_traits>

namespace {

template <class Field, class Expected>
constexpr bool kIs = std::is_same_v<Field, Expected>;

using S = ViewerState;
static_assert(kIs<decltype(S::captureMode), uint16_t>);
static_assert(kIs<decltype(S::overlayHeight), uint16_t>);
static_assert(kIs<decltype(S::overlayWidth), uint16_t>);
static_assert(kIs<decltype(S::overlayX), int16_t>);
static_assert(kIs<decltype(S::overlayY), int16_t>);
static_assert(kIs<decltype(S::modelPosition), platform::Vector3>);
static_assert(kIs<decltype(S::cameraTarget), platform::Vector3>);
static_assert(kIs<decltype(S::cameraEye), platform::Vector3>);
static_assert(kIs<decltype(S::cameraUp), platform::Vector3>);
static_assert(kIs<decltype(S::modelRotation), platform::Vector3>);
static_assert(kIs<decltype(platform::Vector3::x), float>);
static_assert(kIs<decltype(S::rotationStepY), float>);
static_assert(kIs<decltype(S::eyeStep), float>);
static_assert(kIs<decltype(S::modelStep), float>);
static_assert(kIs<decltype(S::rotationStepZ), float>);
static_assert(kIs<decltype(S::liftStep), float>);
static_assert(kIs<decltype(S::rotationStepX), float>);
static_assert(kIs<decltype(S::targetHeight), float>);
static_assert(kIs<decltype(S::heading), float>);
static_assert(kIs<decltype(S::backBufferWidth), int32_t>);
static_assert(kIs<decltype(S::backBufferHeight), int32_t>);
static_assert(kIs<decltype(S::ambientRedPercent), uint16_t>);
static_assert(kIs<decltype(S::ambientGreenPercent), uint16_t>);
static_assert(kIs<decltype(S::ambientBluePercent), uint16_t>);
static_assert(kIs<decltype(S::tintRed), uint16_t>);
static_assert(kIs<decltype(S::tintGreen), uint16_t>);
static_assert(kIs<decltype(S::tintBlue), uint16_t>);
static_assert(kIs<decltype(S::tintAlpha), int16_t>);
static_assert(kIs<decltype(S::ambientRed), float>);
static_assert(kIs<decltype(S::ambientGreen), float>);
static_assert(kIs<decltype(S::ambientBlue), float>);
static_assert(kIs<decltype(S::snapshotPrefix), char[256]>);
static_assert(kIs<decltype(S::leftHeld), uint16_t>);
static_assert(kIs<decltype(S::rightHeld), uint16_t>);
static_assert(kIs<decltype(S::upHeld), uint16_t>);
static_assert(kIs<decltype(S::downHeld), uint16_t>);
static_assert(kIs<decltype(S::snapshotCounter), int32_t>);
static_assert(kIs<decltype(S::panelRect), platform::Rect>);
static_assert(kIs<decltype(platform::Rect::left), int32_t>);
static_assert(kIs<decltype(S::deviceLost), int32_t>);
static_assert(kIs<decltype(S::message), platform::Message>);

void expectVector(const platform::Vector3& v, float x, float y, float z) {
    EXPECT_EQ(v.x, x);
    EXPECT_EQ(v.y, y);
    EXPECT_EQ(v.z, z);
}

TEST(ViewerStateTest, StartsFromTheBuiltInValues) {
    const ViewerState state;
    EXPECT_EQ(state.captureMode, 0);
    EXPECT_EQ(state.overlayHeight, 200);
    EXPECT_EQ(state.overlayWidth, 200);
    EXPECT_EQ(state.overlayX, 20);
    EXPECT_EQ(state.overlayY, 84);
    // Exactly the single-precision numbers nearest to the decimals.
    expectVector(state.modelPosition, 0.0f, 2.2f, 0.0f);
    expectVector(state.cameraTarget, 0.0f, 0.0f, 0.0f);
    expectVector(state.cameraEye, 0.0f, 2.5f, -2.0f);
    expectVector(state.cameraUp, 0.0f, 1.0f, 0.0f);
    expectVector(state.modelRotation, 0.0f, 0.0f, 0.0f);
    for (float step : {state.rotationStepY, state.eyeStep, state.modelStep, state.rotationStepZ,
                       state.liftStep, state.rotationStepX, state.heading})
        EXPECT_EQ(step, 0.0f);
    EXPECT_EQ(state.targetHeight, 2.4f);
    EXPECT_EQ(state.backBufferWidth, 594);
    EXPECT_EQ(state.backBufferHeight, 578);
    EXPECT_EQ(state.ambientRedPercent, 99);
    EXPECT_EQ(state.ambientGreenPercent, 99);
    EXPECT_EQ(state.ambientBluePercent, 99);
    EXPECT_EQ(state.tintRed, 250);
    EXPECT_EQ(state.tintGreen, 250);
    EXPECT_EQ(state.tintBlue, 250);
    EXPECT_EQ(state.tintAlpha, 50);
    EXPECT_EQ(state.ambientRed, 0.99f);
    EXPECT_EQ(state.ambientGreen, 0.99f);
    EXPECT_EQ(state.ambientBlue, 0.99f);
    for (char c : state.snapshotPrefix) EXPECT_EQ(c, '\0');
    EXPECT_EQ(state.leftHeld, 0);
    EXPECT_EQ(state.rightHeld, 0);
    EXPECT_EQ(state.upHeld, 0);
    EXPECT_EQ(state.downHeld, 0);
    EXPECT_EQ(state.snapshotCounter, 0);
    EXPECT_EQ(state.panelRect, (platform::Rect{0, 0, 0, 0}));
}

TEST(ViewerStateTest, HoldsNoWindowOrGraphicsObjectAtFirst) {
    const ViewerState state;
    EXPECT_EQ(state.displayWindow, nullptr);
    EXPECT_EQ(state.panelWindow, nullptr);
    EXPECT_EQ(state.controlFont, nullptr);
    EXPECT_EQ(state.backgroundBrush, nullptr);
    EXPECT_EQ(state.deviceLost, 0);
    EXPECT_EQ(state.overlay, nullptr);
    EXPECT_EQ(state.model, nullptr);
    EXPECT_FALSE(state.direct3d);
    EXPECT_FALSE(state.device);
    EXPECT_FALSE(state.textFont);
    EXPECT_FALSE(state.directInput);
}

}  // namespace
