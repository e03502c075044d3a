#include "platform/linux/gl_vertex_format_linux.h"

#include <gtest/gtest.h>

#include <cstddef>

#include "render/tint_quad.h"

namespace {

using platform::gl::vertexCountOf;
using platform::gl::vertexFormatOf;

TEST(GlVertexFormatTest, LayoutsOfTheQuadTheMeshAndOtherFormats) {
    // The tint quad's vertices: screen position, colour, one pair of
    // texture coordinates.
    const auto quad = vertexFormatOf(TintQuad::kVertexFormat);
    ASSERT_TRUE(quad);
    EXPECT_TRUE(quad->pretransformed);
    EXPECT_EQ(quad->positionSize, 4u);
    EXPECT_EQ(quad->normal, -1);
    EXPECT_EQ(quad->diffuse, static_cast<int32_t>(offsetof(OverlayVertex, colour)));
    EXPECT_EQ(quad->texCoord, static_cast<int32_t>(offsetof(OverlayVertex, u)));
    EXPECT_EQ(quad->stride, sizeof(OverlayVertex));

    // Position, normal, texture coordinates.
    const auto mesh = vertexFormatOf(0x112);
    ASSERT_TRUE(mesh);
    EXPECT_FALSE(mesh->pretransformed);
    EXPECT_EQ(mesh->normal, 12);
    EXPECT_EQ(mesh->diffuse, -1);
    EXPECT_EQ(mesh->texCoord, 24);
    EXPECT_EQ(mesh->stride, 32u);

    // Two blend weights and a point size before the colours; the first of two
    // coordinate sets has three values, the second one.
    const auto blended = vertexFormatOf(0x8 | 0x20 | 0x40 | 0x80 | 0x200 | (1u << 16) | (3u << 18));
    ASSERT_TRUE(blended);
    EXPECT_EQ(blended->diffuse, 24);
    EXPECT_EQ(blended->specular, 28);
    EXPECT_EQ(blended->texCoord, 32);
    EXPECT_EQ(blended->texCoordSize, 3u);
    EXPECT_EQ(blended->stride, 48u);

    EXPECT_FALSE(vertexFormatOf(0x40));    // no position
    EXPECT_FALSE(vertexFormatOf(0x4004));  // not a position code
}

TEST(GlVertexFormatTest, VertexCountsOfEachPrimitiveType) {
    EXPECT_EQ(vertexCountOf(1, 5), 5u);   // points
    EXPECT_EQ(vertexCountOf(2, 5), 10u);  // lines
    EXPECT_EQ(vertexCountOf(3, 5), 6u);   // line strip
    EXPECT_EQ(vertexCountOf(4, 5), 15u);  // triangles
    EXPECT_EQ(vertexCountOf(5, 2), 4u);   // triangle strip
    EXPECT_EQ(vertexCountOf(6, 2), 4u);   // triangle fan: the tint quad
    EXPECT_EQ(vertexCountOf(6, 0), 0u);
    EXPECT_EQ(vertexCountOf(4, 0xFFFFFFFF), 3ull * 0xFFFFFFFF);  // no overflow
    EXPECT_EQ(vertexCountOf(7, 5), 0u);                          // no such type
}

}  // namespace
