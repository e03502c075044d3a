#include "platform/matrix.h"

#include <cmath>

namespace platform {
namespace {

Vector3 subtract(const Vector3& a, const Vector3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

Vector3 cross(const Vector3& a, const Vector3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float dot(const Vector3& a, const Vector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Vector3 normalize(const Vector3& v) {
    const float length = std::sqrt(dot(v, v));
    if (length == 0.0f) return {0.0f, 0.0f, 0.0f};
    return {v.x / length, v.y / length, v.z / length};
}

}  // namespace

Matrix* D3DXMatrixIdentity(Matrix* out) {
    *out = Matrix{};
    for (int i = 0; i < 4; ++i) out->m[i][i] = 1.0f;
    return out;
}

Matrix* D3DXMatrixRotationX(Matrix* out, float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    D3DXMatrixIdentity(out);
    out->m[1][1] = c;
    out->m[1][2] = s;
    out->m[2][1] = -s;
    out->m[2][2] = c;
    return out;
}

Matrix* D3DXMatrixRotationY(Matrix* out, float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    D3DXMatrixIdentity(out);
    out->m[0][0] = c;
    out->m[0][2] = -s;
    out->m[2][0] = s;
    out->m[2][2] = c;
    return out;
}

Matrix* D3DXMatrixRotationZ(Matrix* out, float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    D3DXMatrixIdentity(out);
    out->m[0][0] = c;
    out->m[0][1] = s;
    out->m[1][0] = -s;
    out->m[1][1] = c;
    return out;
}

Matrix* D3DXMatrixTranslation(Matrix* out, float x, float y, float z) {
    D3DXMatrixIdentity(out);
    out->m[3][0] = x;
    out->m[3][1] = y;
    out->m[3][2] = z;
    return out;
}

Matrix* D3DXMatrixScaling(Matrix* out, float x, float y, float z) {
    *out = Matrix{};
    out->m[0][0] = x;
    out->m[1][1] = y;
    out->m[2][2] = z;
    out->m[3][3] = 1.0f;
    return out;
}

Matrix* D3DXMatrixMultiply(Matrix* out, const Matrix* a, const Matrix* b) {
    Matrix product;
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum += a->m[row][k] * b->m[k][column];
            product.m[row][column] = sum;
        }
    *out = product;
    return out;
}

Matrix* D3DXMatrixLookAtLH(Matrix* out, const Vector3* eye, const Vector3* at, const Vector3* up) {
    const Vector3 zAxis = normalize(subtract(*at, *eye));
    const Vector3 xAxis = normalize(cross(*up, zAxis));
    const Vector3 yAxis = cross(zAxis, xAxis);
    *out = Matrix{};
    out->m[0][0] = xAxis.x;
    out->m[1][0] = xAxis.y;
    out->m[2][0] = xAxis.z;
    out->m[0][1] = yAxis.x;
    out->m[1][1] = yAxis.y;
    out->m[2][1] = yAxis.z;
    out->m[0][2] = zAxis.x;
    out->m[1][2] = zAxis.y;
    out->m[2][2] = zAxis.z;
    out->m[3][0] = -dot(xAxis, *eye);
    out->m[3][1] = -dot(yAxis, *eye);
    out->m[3][2] = -dot(zAxis, *eye);
    out->m[3][3] = 1.0f;
    return out;
}

Matrix* D3DXMatrixPerspectiveFovLH(Matrix* out, float fovY, float aspect, float zNear, float zFar) {
    const float yScale = 1.0f / std::tan(fovY / 2.0f);
    *out = Matrix{};
    out->m[0][0] = yScale / aspect;
    out->m[1][1] = yScale;
    out->m[2][2] = zFar / (zFar - zNear);
    out->m[2][3] = 1.0f;
    out->m[3][2] = -zNear * zFar / (zFar - zNear);
    return out;
}

}  // namespace platform
