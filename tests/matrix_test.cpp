#include "platform/matrix.h"

#include <gtest/gtest.h>

#include <numbers>

#include "platform/linux/gl_transforms_linux.h"

namespace {

using platform::Matrix;
using platform::Vector3;

// Expected values are the published D3DX formulas worked out by hand for
// the arguments given.
void expectMatrix(const Matrix& actual, const float (&expected)[4][4], float tolerance = 1e-6f) {
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column)
            EXPECT_NEAR(actual.m[row][column], expected[row][column], tolerance)
                << "at [" << row << "][" << column << "]";
}

constexpr float kSixth = std::numbers::pi_v<float> / 6;  // 30 degrees
constexpr float kCos = 0.8660254f;
constexpr float kSin = 0.5f;

TEST(MatrixTest, RotationsFollowTheLeftHandedRowVectorConvention) {
    Matrix m;
    // Each call overwrites the whole matrix.
    for (auto& row : m.m)
        for (float& value : row) value = 9.0f;
    EXPECT_EQ(platform::D3DXMatrixRotationX(&m, kSixth), &m);
    expectMatrix(m, {{1, 0, 0, 0}, {0, kCos, kSin, 0}, {0, -kSin, kCos, 0}, {0, 0, 0, 1}});
    platform::D3DXMatrixRotationY(&m, kSixth);
    expectMatrix(m, {{kCos, 0, -kSin, 0}, {0, 1, 0, 0}, {kSin, 0, kCos, 0}, {0, 0, 0, 1}});
    platform::D3DXMatrixRotationZ(&m, kSixth);
    expectMatrix(m, {{kCos, kSin, 0, 0}, {-kSin, kCos, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}});
    platform::D3DXMatrixRotationZ(&m, -kSixth);
    expectMatrix(m, {{kCos, -kSin, 0, 0}, {kSin, kCos, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}});
}

TEST(MatrixTest, TranslationAndScaling) {
    Matrix m;
    platform::D3DXMatrixTranslation(&m, 1.5f, -2.0f, 3.25f);
    expectMatrix(m, {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {1.5f, -2.0f, 3.25f, 1}});
    platform::D3DXMatrixScaling(&m, 2.0f, 3.0f, -4.0f);
    expectMatrix(m, {{2, 0, 0, 0}, {0, 3, 0, 0}, {0, 0, -4, 0}, {0, 0, 0, 1}});
    platform::D3DXMatrixIdentity(&m);
    expectMatrix(m, {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}});
}

TEST(MatrixTest, MultiplyAppliesTheFirstFactorFirstAndMayOverwriteAFactor) {
    Matrix a;
    Matrix b;
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column) {
            a.m[row][column] = static_cast<float>(row * 4 + column + 1);  // 1 .. 16
            b.m[row][column] = static_cast<float>((row + column) % 3 - 1);
        }
    const float product[4][4] = {
        {-2, -1, 3, -2}, {-6, -1, 7, -6}, {-10, -1, 11, -10}, {-14, -1, 15, -14}};
    Matrix out;
    EXPECT_EQ(platform::D3DXMatrixMultiply(&out, &a, &b), &out);
    expectMatrix(out, product);

    Matrix first = a;
    platform::D3DXMatrixMultiply(&first, &first, &b);
    expectMatrix(first, product);
    Matrix second = b;
    platform::D3DXMatrixMultiply(&second, &a, &second);
    expectMatrix(second, product);

    // A point moved, then turned, is not the point turned, then moved.
    Matrix move;
    Matrix turn;
    platform::D3DXMatrixTranslation(&move, 1, 0, 0);
    platform::D3DXMatrixRotationZ(&turn, std::numbers::pi_v<float> / 2);
    platform::D3DXMatrixMultiply(&out, &move, &turn);
    // The origin goes to (1, 0, 0), then about z to (0, 1, 0).
    EXPECT_NEAR(out.m[3][0], 0.0f, 1e-6f);
    EXPECT_NEAR(out.m[3][1], 1.0f, 1e-6f);
}

TEST(MatrixTest, LookAtFromTheStartingCamera) {
    const Vector3 eye{0.0f, 2.5f, -2.0f};
    const Vector3 at{0.0f, 2.4f, 0.0f};
    const Vector3 up{0.0f, 1.0f, 0.0f};
    Matrix m;
    EXPECT_EQ(platform::D3DXMatrixLookAtLH(&m, &eye, &at, &up), &m);
    expectMatrix(m, {{1, 0, 0, 0},
                     {0, 0.998752339f, -0.0499376169f, 0},
                     {0, 0.0499376169f, 0.998752339f, 0},
                     {0, -2.39700561f, 2.12234872f, 1}});
}

TEST(MatrixTest, LookAtWithAnotherUpAxis) {
    const Vector3 eye{1.0f, 2.0f, 3.0f};
    const Vector3 at{4.0f, 6.0f, 3.0f};
    const Vector3 up{0.0f, 0.0f, 1.0f};
    Matrix m;
    platform::D3DXMatrixLookAtLH(&m, &eye, &at, &up);
    expectMatrix(m, {{-0.8f, 0, 0.6f, 0}, {0.6f, 0, 0.8f, 0}, {0, 1, 0, 0}, {-0.4f, -3, -2.2f, 1}});
}

TEST(MatrixTest, PerspectiveOfTheSceneAndOfAWideView) {
    Matrix m;
    EXPECT_EQ(platform::D3DXMatrixPerspectiveFovLH(&m, 1.0471976f, 1.0f, 0.01f, 2000.0f), &m);
    expectMatrix(m,
                 {{1.73205071f, 0, 0, 0},
                  {0, 1.73205071f, 0, 0},
                  {0, 0, 1.000005f, 1},
                  {0, 0, -0.01000005f, 0}},
                 2e-6f);
    platform::D3DXMatrixPerspectiveFovLH(&m, 0.8f, 2.0f, 1.0f, 100.0f);
    expectMatrix(m,
                 {{2.36522242f / 2, 0, 0, 0},
                  {0, 2.36522242f, 0, 0},
                  {0, 0, 1.01010101f, 1},
                  {0, 0, -1.01010101f, 0}},
                 2e-6f);
}

// The OpenGL backend's clip space: a point through a matrix as OpenGL
// applies it (row vector times the row-major matrix), divided by w.
struct Clip {
    float x, y, z;
};
Clip throughMatrix(const Matrix& m, float x, float y, float z) {
    float out[4];
    for (int column = 0; column < 4; ++column)
        out[column] = x * m.m[0][column] + y * m.m[1][column] + z * m.m[2][column] + m.m[3][column];
    return {out[0] / out[3], out[1] / out[3], out[2] / out[3]};
}
// OpenGL's window coordinates (from the bottom left) of clip coordinates.
float windowX(float x, float width) { return (x + 1) * width / 2; }
float windowY(float y, float height) { return (y + 1) * height / 2; }

TEST(MatrixTest, GlProjectionMapsDepthToMinusOneToOneAndMovesPixelCentres) {
    Matrix projection;
    platform::D3DXMatrixPerspectiveFovLH(&projection, 1.0471976f, 1.0f, 0.01f, 2000.0f);
    const Matrix gl = platform::gl::glProjection(projection, 594, 578);
    // Near and far planes: Direct3D's depth 0 and 1 become OpenGL's -1 and 1.
    EXPECT_NEAR(throughMatrix(gl, 0, 0, 0.01f).z, -1.0f, 1e-4f);
    EXPECT_NEAR(throughMatrix(gl, 0, 0, 2000.0f).z, 1.0f, 1e-4f);
    EXPECT_NEAR(throughMatrix(gl, 0, 0, 1.0f).z, 2 * throughMatrix(projection, 0, 0, 1.0f).z - 1,
                1e-5f);
    // The view's centre lies just under half a pixel right of and below the
    // back buffer's middle, wherever it is in depth.
    for (const float depth : {0.5f, 100.0f}) {
        const Clip centre = throughMatrix(gl, 0, 0, depth);
        EXPECT_NEAR(windowX(centre.x, 594), 297 + 63.0f / 128, 1e-3f);
        EXPECT_NEAR(windowY(centre.y, 578), 289 - 63.0f / 128, 1e-3f);
    }
}

TEST(MatrixTest, ScreenProjectionPutsPixelsWhereDirect3DHasThem) {
    const Matrix screen = platform::gl::screenProjection(594, 578);
    // Screen y runs down, OpenGL's window y up; Direct3D's pixel centre
    // (x, y) is OpenGL's (x + 0.5, height - y - 0.5), give or take 1/128.
    const Clip topLeft = throughMatrix(screen, 0, 0, 0);
    EXPECT_NEAR(windowX(topLeft.x, 594), 63.0f / 128, 1e-3f);
    EXPECT_NEAR(windowY(topLeft.y, 578), 578 - 63.0f / 128, 1e-3f);
    EXPECT_NEAR(topLeft.z, -1.0f, 1e-6f);
    const Clip inside = throughMatrix(screen, 20, 84, 1);
    EXPECT_NEAR(windowX(inside.x, 594), 20 + 63.0f / 128, 1e-3f);
    EXPECT_NEAR(windowY(inside.y, 578), 578 - 84 - 63.0f / 128, 1e-3f);
    EXPECT_NEAR(inside.z, 1.0f, 1e-6f);
}

}  // namespace
