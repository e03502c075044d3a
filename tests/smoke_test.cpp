#include <gtest/gtest.h>

#include "controls/viewer_state.h"
#include "fake/fake_platform.h"

TEST(ViewerStateTest, StartsFromTheBuiltInValues) {
    ViewerState state;
    EXPECT_EQ(state.overlayWidth, 200);
    EXPECT_EQ(state.tintAlpha, 50);
    EXPECT_FLOAT_EQ(state.modelPosition.y, 2.2f);
}
