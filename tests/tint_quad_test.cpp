#include "render/tint_quad.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "controls/viewer_state.h"
#include "fake/fake_platform.h"
#include "fake_test_support.h"
#include "render/graphics_device.h"

namespace {

class TintQuadTest : public fake_test::FakeTest {
protected:
    void SetUp() override {
        FakeTest::SetUp();
        ASSERT_TRUE(fake_test::startGraphics());
        fake::state().clearLog();
    }

    // The four vertices the device was handed by the nth DrawPrimitiveUP.
    static std::array<OverlayVertex, 4> drawnVertices(size_t nth = 0) {
        std::array<OverlayVertex, 4> vertices{};
        const std::vector<uint8_t>& bytes = fake::state().vertexData.at(nth);
        EXPECT_EQ(bytes.size(), 4 * sizeof(OverlayVertex));
        std::memcpy(vertices.data(), bytes.data(), std::min(bytes.size(), sizeof vertices));
        return vertices;
    }
};

TEST(OverlayVertexTest, HasTheLayoutOfItsVertexFormat) {
    EXPECT_EQ(sizeof(OverlayVertex), 28u);
    EXPECT_EQ(offsetof(OverlayVertex, x), 0u);
    EXPECT_EQ(offsetof(OverlayVertex, rhw), 12u);
    EXPECT_EQ(offsetof(OverlayVertex, colour), 16u);
    EXPECT_EQ(offsetof(OverlayVertex, u), 20u);
    EXPECT_EQ(offsetof(OverlayVertex, v), 24u);
    EXPECT_EQ(TintQuad::kVertexFormat, 0x144u);
}

TEST_F(TintQuadTest, StartsOpaqueWhiteAtTheNearPlaneWithoutATexture) {
    const TintQuad quad;
    for (const OverlayVertex& vertex : quad.vertices) {
        EXPECT_EQ(vertex.z, 0.0f);
        EXPECT_EQ(vertex.rhw, 1.0f);
        EXPECT_EQ(vertex.colour, 0xFFFFFFFFu);
    }
    EXPECT_FALSE(quad.texture);
}

TEST_F(TintQuadTest, SetColourPaintsAllFourCornersAndDrawsNothing) {
    TintQuad quad;
    quad.setColour(0x32FAFAFA);
    for (const OverlayVertex& vertex : quad.vertices) EXPECT_EQ(vertex.colour, 0x32FAFAFAu);
    EXPECT_TRUE(fake::state().calls.empty());
}

TEST_F(TintQuadTest, DrawBlendsTheRectangleWithElevenCallsInOrder) {
    TintQuad quad;
    quad.setColour(0x32FAFAFA);
    quad.draw(20.0f, 84.0f, 200.0f, 200.0f);

    EXPECT_EQ(fake::state().log(), (std::vector<std::string>{
                                       "Device#2.SetTextureStageState(0, 4, 4)",
                                       "Device#2.SetTextureStageState(0, 2, 2)",
                                       "Device#2.SetTextureStageState(0, 3, 0)",
                                       "Device#2.SetRenderState(27, 1)",
                                       "Device#2.SetRenderState(19, 5)",
                                       "Device#2.SetRenderState(20, 6)",
                                       "Device#2.SetTexture(0, null)",
                                       "Device#2.SetFVF(0x144)",
                                       "Device#2.DrawPrimitiveUP(6, 2, &, 28)",
                                       "Device#2.SetRenderState(27, 0)",
                                   }));
    const auto vertices = drawnVertices();
    const float expected[4][4] = {
        {20, 84, 0, 0}, {220, 84, 1, 0}, {220, 284, 1, 1}, {20, 284, 0, 1}};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(vertices[i].x, expected[i][0]);
        EXPECT_EQ(vertices[i].y, expected[i][1]);
        EXPECT_EQ(vertices[i].u, expected[i][2]);
        EXPECT_EQ(vertices[i].v, expected[i][3]);
        EXPECT_EQ(vertices[i].z, 0.0f);
        EXPECT_EQ(vertices[i].rhw, 1.0f);
        EXPECT_EQ(vertices[i].colour, 0x32FAFAFAu);
    }
}

TEST_F(TintQuadTest, EachDrawWritesItsOwnRectangle) {
    TintQuad quad;
    quad.draw(20.0f, 84.0f, 200.0f, 200.0f);
    quad.draw(-30.0f, -5.0f, 0.0f, 3.0f);  // partly off screen, no width
    const auto vertices = drawnVertices(1);
    EXPECT_EQ(vertices[0].x, -30.0f);
    EXPECT_EQ(vertices[0].y, -5.0f);
    EXPECT_EQ(vertices[1].x, -30.0f);
    EXPECT_EQ(vertices[2].y, -2.0f);
    EXPECT_EQ(vertices[3].x, -30.0f);
    EXPECT_EQ(vertices[3].y, -2.0f);
    // Colour, depth and rhw are left as they were.
    EXPECT_EQ(vertices[2].colour, 0xFFFFFFFFu);
    EXPECT_EQ(vertices[2].rhw, 1.0f);
}

TEST_F(TintQuadTest, ReleaseHoldsNothingAndCanRunTwice) {
    auto quad = std::make_unique<TintQuad>();
    quad->release();
    quad.reset();
    EXPECT_TRUE(fake::state().calls.empty());
    EXPECT_EQ(fake::state().overReleases, 0);
}

}  // namespace
