#include "platform/matrix.h"

#include <gtest/gtest.h>

#include <numbers>

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

}  // namespace
