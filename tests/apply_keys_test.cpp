#include "controls/apply_keys.h"

#include <gtest/gtest.h>

#include "controls/viewer_state.h"
#include "controls/virtual_keys.h"

namespace {

using keys::key;

constexpr platform::Rect kPanel{100, 200, 277, 352};

class ApplyKeysTest : public ::testing::Test {
protected:
    void SetUp() override { state = ViewerState{}; }

    KeyRequests frame(const KeySet& down, const platform::Rect& panel = kPanel) {
        return applyKeys(down, state, panel);
    }

    ViewerState state;
};

TEST_F(ApplyKeysTest, NoKeysChangeNothingButClearTheSteps) {
    state.eyeStep = 1.0f;
    state.modelStep = 1.0f;
    state.liftStep = 1.0f;
    state.rotationStepX = 1.0f;
    state.rotationStepY = 1.0f;
    state.rotationStepZ = 1.0f;
    const KeyRequests requests = frame({});
    EXPECT_EQ(state.eyeStep, 0.0f);
    EXPECT_EQ(state.modelStep, 0.0f);
    EXPECT_EQ(state.liftStep, 0.0f);
    EXPECT_EQ(state.rotationStepX, 0.0f);
    EXPECT_EQ(state.rotationStepY, 0.0f);
    EXPECT_EQ(state.rotationStepZ, 0.0f);
    EXPECT_FALSE(requests.quit);
    EXPECT_FALSE(requests.snapshot);
    EXPECT_EQ(requests.moveCount, 0u);
    EXPECT_EQ(state.cameraEye.z, -2.0f);
    EXPECT_EQ(state.overlayX, 20);
    EXPECT_EQ(state.ambientRedPercent, 99);
    EXPECT_EQ(state.targetHeight, 2.4f);
    EXPECT_EQ(state.panelRect, kPanel);
    EXPECT_EQ(state.captureMode, 0);
}

TEST_F(ApplyKeysTest, InFirstWinsPairsOnlyTheFirstKeyDownActs) {
    struct Pair {
        int32_t first;
        int32_t second;
        float ViewerState::*field;
        float firstStep;
    };
    const Pair pairs[] = {
        {keys::kNumpad2, keys::kNumpad8, &ViewerState::eyeStep, -0.04f},
        {keys::kNumpad1, keys::kNumpad9, &ViewerState::modelStep, -0.03f},
        {keys::kAdd, keys::kSubtract, &ViewerState::liftStep, 0.03f},
        {keys::kLeftShift, keys::kRightShift, &ViewerState::rotationStepZ, 0.02f},
        {keys::kLeftControl, keys::kRightControl, &ViewerState::rotationStepX, 0.02f},
        {keys::kDivide, keys::kMultiply, &ViewerState::rotationStepY, 0.02f},
    };
    for (const Pair& pair : pairs) {
        SCOPED_TRACE(pair.first);
        state = ViewerState{};
        frame({pair.first, pair.second});
        EXPECT_EQ(state.*pair.field, pair.firstStep);
        frame({pair.second});
        EXPECT_EQ(state.*pair.field, -pair.firstStep);
        frame({pair.first});
        EXPECT_EQ(state.*pair.field, pair.firstStep);
    }
}

TEST_F(ApplyKeysTest, TheEyeMovesByItsStepAlongTheHeadingInTheSamePass) {
    frame({keys::kNumpad2, keys::kNumpad8});  // the first wins: backwards
    EXPECT_EQ(state.cameraEye.z, static_cast<float>(-2.0 - double{0.04f}));
    EXPECT_EQ(state.cameraEye.x, 0.0f);
    frame({keys::kNumpad8});
    frame({keys::kNumpad8});
    EXPECT_NEAR(state.cameraEye.z, -1.96f, 1e-6);
    EXPECT_EQ(state.cameraEye.y, 2.5f);
}

TEST_F(ApplyKeysTest, InBothActPairsBothKeysDownCancelOut) {
    frame({key('D'), key('A'), key('W'), key('S'), key('Q'), key('E'), key('Z'), key('C')});
    EXPECT_EQ(state.overlayX, 20);
    EXPECT_EQ(state.overlayY, 84);
    EXPECT_EQ(state.overlayWidth, 200);
    EXPECT_EQ(state.overlayHeight, 200);
    frame({key('7'), key('U'), key('1'), key('2'), key('3'), key('4'), key('5'), key('6')});
    EXPECT_EQ(state.tintAlpha, 50);
    EXPECT_EQ(state.tintRed, 250);
    EXPECT_EQ(state.tintGreen, 250);
    EXPECT_EQ(state.tintBlue, 250);
    frame({key('8'), key('I'), key('9'), key('O'), key('0'), key('P')});
    EXPECT_EQ(state.ambientRedPercent, 99);
    EXPECT_EQ(state.ambientGreenPercent, 99);
    EXPECT_EQ(state.ambientBluePercent, 99);
    EXPECT_NEAR(state.ambientRed, 0.99f, 1e-6);
    EXPECT_NEAR(state.ambientGreen, 0.99f, 1e-6);
    EXPECT_NEAR(state.ambientBlue, 0.99f, 1e-6);
}

TEST_F(ApplyKeysTest, EachOverlayAndTintKeyMovesItsOwnField) {
    frame({key('D'), key('S'), key('E'), key('C'), key('U'), key('2'), key('4'), key('6')});
    EXPECT_EQ(state.overlayX, 23);
    EXPECT_EQ(state.overlayY, 87);
    EXPECT_EQ(state.overlayWidth, 203);
    EXPECT_EQ(state.overlayHeight, 203);
    EXPECT_EQ(state.tintAlpha, 51);
    EXPECT_EQ(state.tintRed, 251);
    EXPECT_EQ(state.tintGreen, 251);
    EXPECT_EQ(state.tintBlue, 251);
    frame({key('A'), key('W'), key('Q'), key('Z'), key('7'), key('1'), key('3'), key('5')});
    frame({key('A'), key('W'), key('Q'), key('Z'), key('7'), key('1'), key('3'), key('5')});
    EXPECT_EQ(state.overlayX, 17);
    EXPECT_EQ(state.overlayY, 81);
    EXPECT_EQ(state.overlayWidth, 197);
    EXPECT_EQ(state.overlayHeight, 197);
    EXPECT_EQ(state.tintAlpha, 49);
    EXPECT_EQ(state.tintRed, 249);
    EXPECT_EQ(state.tintGreen, 249);
    EXPECT_EQ(state.tintBlue, 249);
}

TEST_F(ApplyKeysTest, TheSidewaysChainLetsOnlyTheFirstKeyDownAct) {
    frame({keys::kNumpad6, keys::kNumpad7});
    EXPECT_GT(state.cameraEye.x, 0.0f);
    EXPECT_EQ(state.modelPosition.x, 0.0f);

    state = ViewerState{};
    frame({keys::kNumpad4, keys::kNumpad7, keys::kNumpad3});
    EXPECT_LT(state.cameraEye.x, 0.0f);
    EXPECT_EQ(state.modelPosition.x, 0.0f);

    state = ViewerState{};
    frame({keys::kNumpad7, keys::kNumpad3});
    EXPECT_FLOAT_EQ(state.modelPosition.x, 0.0199999937f);
    EXPECT_EQ(state.cameraEye.x, 0.0f);

    state = ViewerState{};
    frame({keys::kNumpad3});
    EXPECT_FLOAT_EQ(state.modelPosition.x, -0.0199999937f);
    EXPECT_EQ(state.modelPosition.y, 2.2f);
}

TEST_F(ApplyKeysTest, SidewaysEyeMovesUseTheOffset157SoZCreepsForwardBothWays) {
    frame({keys::kNumpad6});
    EXPECT_NEAR(state.cameraEye.x, 0.0299999898, 1e-9);
    const float zAfterRight = state.cameraEye.z;
    EXPECT_NEAR(zAfterRight + 2.0, 0.0000239, 0.0000005);
    frame({keys::kNumpad4});
    EXPECT_NEAR(state.cameraEye.x, 0.0, 1e-9);
    EXPECT_NEAR(state.cameraEye.z - zAfterRight, 0.0000239, 0.0000005);
    // With pi/2 the eye would not creep forward at all: z is still growing
    // after many frames.
    for (int i = 0; i < 100; ++i) frame({keys::kNumpad6});
    EXPECT_NEAR(state.cameraEye.z + 2.0, 102 * 0.0000239, 0.00005);
}

TEST_F(ApplyKeysTest, HoldingEightRunsTheRedCounterDownTo5ThenJumpsTo1ThenIBringsItTo100) {
    for (uint16_t expected = 98; expected >= 5; --expected) {
        frame({key('8')});
        ASSERT_EQ(state.ambientRedPercent, expected);
        ASSERT_GE(state.ambientRed, 0.05f);
    }
    EXPECT_NEAR(state.ambientRed, 0.0500006676f, 1e-9);
    frame({key('8')});
    EXPECT_EQ(state.ambientRedPercent, 1);
    EXPECT_EQ(state.ambientRed, 0.05f);
    frame({key('8')});  // held on: stays at the floor
    EXPECT_EQ(state.ambientRedPercent, 1);
    EXPECT_EQ(state.ambientRed, 0.05f);

    for (uint16_t expected = 2; expected <= 96; ++expected) {
        frame({key('I')});
        ASSERT_EQ(state.ambientRedPercent, expected);
        ASSERT_LE(state.ambientRed, 1.0f);
    }
    frame({key('I')});
    EXPECT_EQ(state.ambientRedPercent, 100);
    EXPECT_EQ(state.ambientRed, 1.0f);
    // Green and blue were never touched.
    EXPECT_EQ(state.ambientGreenPercent, 99);
    EXPECT_EQ(state.ambientBlue, 0.99f);
}

TEST_F(ApplyKeysTest, RaisingAmbientFromTheStartReaches100AndStaysThere) {
    frame({key('I'), key('O'), key('P')});
    for (auto [percent, level] : {std::pair{state.ambientRedPercent, state.ambientRed},
                                  std::pair{state.ambientGreenPercent, state.ambientGreen},
                                  std::pair{state.ambientBluePercent, state.ambientBlue}}) {
        EXPECT_EQ(percent, 100);
        EXPECT_EQ(level, 1.0f);
    }
    frame({key('I'), key('O'), key('P')});
    EXPECT_EQ(state.ambientRedPercent, 100);
    EXPECT_EQ(state.ambientGreenPercent, 100);
    EXPECT_EQ(state.ambientBluePercent, 100);
    EXPECT_EQ(state.ambientBlue, 1.0f);
    frame({key('9'), key('0')});
    EXPECT_EQ(state.ambientGreenPercent, 99);
    EXPECT_EQ(state.ambientBluePercent, 99);
    EXPECT_NEAR(state.ambientGreen, 0.99f, 1e-6);
    EXPECT_EQ(state.ambientRedPercent, 100);
}

TEST_F(ApplyKeysTest, TintColoursStopAt1AlphaAt0AndAllAt255) {
    state.tintRed = 1;
    state.tintGreen = 1;
    state.tintBlue = 1;
    state.tintAlpha = 0;
    frame({key('1'), key('3'), key('5'), key('7')});
    EXPECT_EQ(state.tintRed, 1);
    EXPECT_EQ(state.tintGreen, 1);
    EXPECT_EQ(state.tintBlue, 1);
    EXPECT_EQ(state.tintAlpha, 0);

    state.tintRed = 255;
    state.tintGreen = 255;
    state.tintBlue = 255;
    state.tintAlpha = 255;
    frame({key('2'), key('4'), key('6'), key('U')});
    EXPECT_EQ(state.tintRed, 255);
    EXPECT_EQ(state.tintGreen, 255);
    EXPECT_EQ(state.tintBlue, 255);
    EXPECT_EQ(state.tintAlpha, 255);

    state.tintRed = 2;
    state.tintAlpha = 1;
    frame({key('1'), key('7')});
    EXPECT_EQ(state.tintRed, 1);
    EXPECT_EQ(state.tintAlpha, 0);
}

TEST_F(ApplyKeysTest, OverlayPositionWrapsAsSigned16BitAndSizeNeverGoesBelow3) {
    state.overlayX = 32766;
    state.overlayY = -32767;
    frame({key('D'), key('W')});
    EXPECT_EQ(state.overlayX, -32767);
    EXPECT_EQ(state.overlayY, 32766);

    state.overlayWidth = 3;
    state.overlayHeight = 3;
    frame({key('Q'), key('Z')});
    EXPECT_EQ(state.overlayWidth, 3);
    EXPECT_EQ(state.overlayHeight, 3);

    state.overlayWidth = 65534;  // raised past 65,535 it wraps to 1, then the minimum
    state.overlayHeight = 65535;
    frame({key('E'), key('C')});
    EXPECT_EQ(state.overlayWidth, 3);
    EXPECT_EQ(state.overlayHeight, 3);

    state.overlayWidth = 5;
    frame({key('Q')});
    EXPECT_EQ(state.overlayWidth, 3);  // 2 is below 4
}

TEST_F(ApplyKeysTest, AnArrowHeld100FramesMovesThePanelOnePixelAndAgainAfterARelease) {
    platform::Rect panel = kPanel;
    int moves = 0;
    auto hold = [&](const KeySet& down) {
        const KeyRequests requests = frame(down, panel);
        for (size_t i = 0; i < requests.moveCount; ++i) {
            const PanelMove& move = requests.moves[i];
            panel = {move.x, move.y, move.x + move.width, move.y + move.height};
            ++moves;
        }
    };
    for (int i = 0; i < 100; ++i) hold({keys::kLeft});
    EXPECT_EQ(moves, 1);
    EXPECT_EQ(panel, (platform::Rect{99, 200, 276, 352}));
    EXPECT_EQ(state.leftHeld, 100);
    hold({});
    EXPECT_EQ(state.leftHeld, 0);
    hold({keys::kLeft});
    EXPECT_EQ(moves, 2);
    EXPECT_EQ(panel, (platform::Rect{98, 200, 275, 352}));
}

TEST_F(ApplyKeysTest, ArrowsMoveInTheOrderLeftRightUpDownEachFromTheLastRectangle) {
    KeyRequests requests = frame({keys::kLeft, keys::kUp});
    ASSERT_EQ(requests.moveCount, 2u);
    EXPECT_EQ(requests.moves[0], (PanelMove{99, 200, 177, 152}));
    EXPECT_EQ(requests.moves[1], (PanelMove{99, 199, 177, 152}));
    EXPECT_EQ(state.panelRect, (platform::Rect{99, 199, 276, 351}));

    state = ViewerState{};
    requests = frame({keys::kDown, keys::kUp, keys::kRight, keys::kLeft});
    ASSERT_EQ(requests.moveCount, 4u);
    EXPECT_EQ(requests.moves[0], (PanelMove{99, 200, 177, 152}));
    EXPECT_EQ(requests.moves[1], (PanelMove{100, 200, 177, 152}));
    EXPECT_EQ(requests.moves[2], (PanelMove{100, 199, 177, 152}));
    EXPECT_EQ(requests.moves[3], (PanelMove{100, 200, 177, 152}));
}

TEST_F(ApplyKeysTest, AnArrowHeldWithoutABreakMovesAgainWhenItsCounterWraps) {
    state.rightHeld = 65534;
    EXPECT_EQ(frame({keys::kRight}).moveCount, 0u);  // 65,535
    EXPECT_EQ(state.rightHeld, 65535);
    EXPECT_EQ(frame({keys::kRight}).moveCount, 0u);  // wraps to 0
    EXPECT_EQ(state.rightHeld, 0);
    const KeyRequests requests = frame({keys::kRight});  // the 65,537th frame
    ASSERT_EQ(requests.moveCount, 1u);
    EXPECT_EQ(requests.moves[0], (PanelMove{101, 200, 177, 152}));

    state = ViewerState{};
    int moves = 0;
    for (int i = 0; i < 65537; ++i) moves += static_cast<int>(frame({keys::kDown}).moveCount);
    EXPECT_EQ(moves, 2);
}

TEST_F(ApplyKeysTest, F5AsksForASnapshotInEveryFrameItIsDownInMode2) {
    for (int i = 0; i < 3; ++i) {
        state.captureMode = 0;
        const KeyRequests requests = frame({keys::kF5});
        EXPECT_TRUE(requests.snapshot);
        EXPECT_EQ(state.captureMode, 2);
    }
    state.captureMode = 0;
    EXPECT_FALSE(frame({}).snapshot);
    EXPECT_EQ(state.captureMode, 0);
}

TEST_F(ApplyKeysTest, EscapeAsksToQuitAndTheFramesOtherKeysStillAct) {
    const KeyRequests requests = frame({keys::kEscape, key('A'), keys::kF5, keys::kLeft});
    EXPECT_TRUE(requests.quit);
    EXPECT_TRUE(requests.snapshot);
    EXPECT_EQ(requests.moveCount, 1u);
    EXPECT_EQ(state.overlayX, 17);
}

TEST_F(ApplyKeysTest, TargetHeightIsKeptBetween2And4) {
    frame({});
    EXPECT_EQ(state.targetHeight, 2.4f);
    state.targetHeight = 1.5f;
    frame({});
    EXPECT_EQ(state.targetHeight, 2.0f);
    state.targetHeight = 4.5f;
    frame({});
    EXPECT_EQ(state.targetHeight, 4.0f);
}

TEST(KeySetTest, OnlyCodesOfTheKeyboardCount) {
    KeySet down{keys::kF5, -1, 256, 0xFF};
    EXPECT_TRUE(down.isDown(keys::kF5));
    EXPECT_TRUE(down.isDown(0xFF));
    EXPECT_FALSE(down.isDown(-1));
    EXPECT_FALSE(down.isDown(256));
    EXPECT_FALSE(down.isDown(keys::kF5 + 1));
}

}  // namespace
