// The matrix functions of the graphics library, computed by us with the
// published formulas: row vectors, left-handed coordinates, radians.
// Each fills `out` and returns it.
#pragma once

#include "platform/graphics_types.h"

namespace platform {

Matrix* D3DXMatrixIdentity(Matrix* out);
Matrix* D3DXMatrixRotationX(Matrix* out, float angle);
Matrix* D3DXMatrixRotationY(Matrix* out, float angle);
Matrix* D3DXMatrixRotationZ(Matrix* out, float angle);
Matrix* D3DXMatrixTranslation(Matrix* out, float x, float y, float z);
Matrix* D3DXMatrixScaling(Matrix* out, float x, float y, float z);
// out = a * b: a applies first. `out` may be one of the factors.
Matrix* D3DXMatrixMultiply(Matrix* out, const Matrix* a, const Matrix* b);
Matrix* D3DXMatrixLookAtLH(Matrix* out, const Vector3* eye, const Vector3* at, const Vector3* up);
Matrix* D3DXMatrixPerspectiveFovLH(Matrix* out, float fovY, float aspect, float zNear, float zFar);

}  // namespace platform
