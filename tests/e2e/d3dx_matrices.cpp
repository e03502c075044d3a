// Compares the program's own matrix functions with the ones of D3DX 9, for a
// set of arguments, and prints the largest difference of each. Built with
// mingw-w64 and run under Wine by test_picture_matrices.sh; exits 1 when any
// function differs by more than the tolerance.
#include <d3dx9.h>

#include <cmath>
#include <cstdio>

#include "platform/matrix.h"

namespace {

constexpr float kTolerance = 2e-6f;
int failures = 0;

float largestDifference(const platform::Matrix& ours, const D3DXMATRIX& theirs) {
    float largest = 0.0f;
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column) {
            const float reference = theirs.m[row][column];
            const float scale = std::fmax(1.0f, std::fabs(reference));
            largest = std::fmax(largest, std::fabs(ours.m[row][column] - reference) / scale);
        }
    return largest;
}

void report(const char* name, float difference) {
    const bool ok = difference <= kTolerance;
    if (!ok) ++failures;
    std::printf("%-18s %.3g %s\n", name, difference, ok ? "ok" : "DIFFERS");
}

platform::Vector3 ours(const D3DXVECTOR3& v) { return {v.x, v.y, v.z}; }

platform::Matrix ours(const D3DXMATRIX& m) {
    platform::Matrix result;
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column) result.m[row][column] = m.m[row][column];
    return result;
}

}  // namespace

int main() {
    const float angles[] = {0.0f, 0.1f, -0.7f, 1.0471976f, 3.14159265f, 12.5f, -100.25f};
    float rx = 0, ry = 0, rz = 0;
    for (float angle : angles) {
        platform::Matrix a;
        D3DXMATRIX b;
        rx = std::fmax(rx, largestDifference(*platform::D3DXMatrixRotationX(&a, angle),
                                             *D3DXMatrixRotationX(&b, angle)));
        ry = std::fmax(ry, largestDifference(*platform::D3DXMatrixRotationY(&a, angle),
                                             *D3DXMatrixRotationY(&b, angle)));
        rz = std::fmax(rz, largestDifference(*platform::D3DXMatrixRotationZ(&a, angle),
                                             *D3DXMatrixRotationZ(&b, angle)));
    }
    report("RotationX", rx);
    report("RotationY", ry);
    report("RotationZ", rz);

    platform::Matrix a;
    D3DXMATRIX b;
    report("Translation", largestDifference(*platform::D3DXMatrixTranslation(&a, 0.0f, 2.2f, -3.5f),
                                            *D3DXMatrixTranslation(&b, 0.0f, 2.2f, -3.5f)));
    report("Scaling", largestDifference(*platform::D3DXMatrixScaling(&a, 1.0f, -2.5f, 0.125f),
                                        *D3DXMatrixScaling(&b, 1.0f, -2.5f, 0.125f)));

    // The world matrix of the model, built both ways.
    D3DXMATRIX z, x, y, t, s, world;
    D3DXMatrixRotationZ(&z, 0.3f);
    D3DXMatrixRotationX(&x, -1.2f);
    D3DXMatrixRotationY(&y, 2.5f);
    D3DXMatrixTranslation(&t, 0.5f, 2.2f, 1.5f);
    D3DXMatrixScaling(&s, 1.0f, 1.0f, 1.0f);
    D3DXMatrixMultiply(&world, &z, &x);
    D3DXMatrixMultiply(&world, &world, &y);
    D3DXMatrixMultiply(&world, &world, &t);
    D3DXMatrixMultiply(&world, &world, &s);
    platform::Matrix pz = ours(z), px = ours(x), py = ours(y), pt = ours(t), ps = ours(s), pw;
    platform::D3DXMatrixMultiply(&pw, &pz, &px);
    platform::D3DXMatrixMultiply(&pw, &pw, &py);
    platform::D3DXMatrixMultiply(&pw, &pw, &pt);
    platform::D3DXMatrixMultiply(&pw, &pw, &ps);
    report("Multiply", largestDifference(pw, world));

    struct Camera {
        D3DXVECTOR3 eye, at, up;
    };
    const Camera cameras[] = {
        {{0.0f, 2.5f, -2.0f}, {0.0f, 2.4f, 0.0f}, {0.0f, 1.0f, 0.0f}},
        {{1.0f, 2.5f, -7.0f}, {1.0f, 4.0f, -5.0f}, {0.0f, 1.0f, 0.0f}},
        {{1.0f, 2.0f, 3.0f}, {4.0f, 6.0f, 3.0f}, {0.0f, 0.0f, 1.0f}},
    };
    float look = 0;
    for (const Camera& c : cameras) {
        const platform::Vector3 eye = ours(c.eye), at = ours(c.at), up = ours(c.up);
        look = std::fmax(look, largestDifference(*platform::D3DXMatrixLookAtLH(&a, &eye, &at, &up),
                                                 *D3DXMatrixLookAtLH(&b, &c.eye, &c.at, &c.up)));
    }
    report("LookAtLH", look);

    float perspective = largestDifference(
        *platform::D3DXMatrixPerspectiveFovLH(&a, 1.0471976f, 1.0f, 0.01f, 2000.0f),
        *D3DXMatrixPerspectiveFovLH(&b, 1.0471976f, 1.0f, 0.01f, 2000.0f));
    perspective = std::fmax(
        perspective,
        largestDifference(*platform::D3DXMatrixPerspectiveFovLH(&a, 0.8f, 1.5f, 1.0f, 100.0f),
                          *D3DXMatrixPerspectiveFovLH(&b, 0.8f, 1.5f, 1.0f, 100.0f)));
    report("PerspectiveFovLH", perspective);

    std::printf("%s\n", failures == 0 ? "all equal" : "some differ");
    return failures == 0 ? 0 : 1;
}
