// 4x4 matrices as Direct3D's helper library (D3DX) builds them: single precision, row vectors
// (a point is the row (x, y, z, 1) multiplied from the left, so A * B applies A first), the
// translation in the fourth row, and rotations whose sine stands above the diagonal for X and Z
// and below it for Y. Keeping those conventions makes directions agree with the game's tools;
// the 3D view hands the same matrices to OpenGL unchanged (read there as columns).
#pragma once

#include <array>

#include "hod/model.h"

namespace gantry {

using Matrix4 = std::array<std::array<float, 4>, 4>;

Matrix4 Identity();
Matrix4 Multiply(const Matrix4& l, const Matrix4& r);
Matrix4 TranslationMatrix(float x, float y, float z);
Matrix4 ScalingMatrix(float x, float y, float z);
Matrix4 RotationX(float angle);
Matrix4 RotationY(float angle);
Matrix4 RotationZ(float angle);
// Left-handed camera at `eye` looking at `at`.
Matrix4 LookAtLH(const Vector3& eye, const Vector3& at, const Vector3& up);
// Left-handed perspective; depth 0 at the near plane, 1 at the far one.
Matrix4 PerspectiveFovLH(float fov_y, float aspect, float near_plane, float far_plane);
// The point (x, y, z, 1) times m, divided by w.
Vector3 TransformPoint(const Vector3& p, const Matrix4& m);

}  // namespace gantry
