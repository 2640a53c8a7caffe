#include "geometry/matrix4.h"

#include <cmath>

namespace gantry {
namespace {

Vector3 Sub(const Vector3& a, const Vector3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
float Dot(const Vector3& a, const Vector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vector3 Cross(const Vector3& a, const Vector3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Vector3 Normalised(const Vector3& v) {
  const float length = std::sqrt(Dot(v, v));
  if (length == 0) return v;
  return {v.x / length, v.y / length, v.z / length};
}

}  // namespace

Matrix4 Identity() {
  Matrix4 m{};
  for (int i = 0; i < 4; ++i) m[i][i] = 1;
  return m;
}

Matrix4 Multiply(const Matrix4& l, const Matrix4& r) {
  Matrix4 m{};
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      for (int k = 0; k < 4; ++k) m[i][j] += l[i][k] * r[k][j];
    }
  }
  return m;
}

Matrix4 TranslationMatrix(float x, float y, float z) {
  Matrix4 m = Identity();
  m[3] = {x, y, z, 1};
  return m;
}

Matrix4 ScalingMatrix(float x, float y, float z) {
  Matrix4 m = Identity();
  m[0][0] = x;
  m[1][1] = y;
  m[2][2] = z;
  return m;
}

Matrix4 RotationX(float angle) {
  const float s = std::sin(angle), c = std::cos(angle);
  Matrix4 m = Identity();
  m[1][1] = c;
  m[1][2] = s;
  m[2][1] = -s;
  m[2][2] = c;
  return m;
}

Matrix4 RotationY(float angle) {
  const float s = std::sin(angle), c = std::cos(angle);
  Matrix4 m = Identity();
  m[0][0] = c;
  m[0][2] = -s;
  m[2][0] = s;
  m[2][2] = c;
  return m;
}

Matrix4 RotationZ(float angle) {
  const float s = std::sin(angle), c = std::cos(angle);
  Matrix4 m = Identity();
  m[0][0] = c;
  m[0][1] = s;
  m[1][0] = -s;
  m[1][1] = c;
  return m;
}

Matrix4 LookAtLH(const Vector3& eye, const Vector3& at, const Vector3& up) {
  const Vector3 z = Normalised(Sub(at, eye));
  const Vector3 x = Normalised(Cross(up, z));
  const Vector3 y = Cross(z, x);
  return {{{x.x, y.x, z.x, 0},
           {x.y, y.y, z.y, 0},
           {x.z, y.z, z.z, 0},
           {-Dot(x, eye), -Dot(y, eye), -Dot(z, eye), 1}}};
}

Matrix4 PerspectiveFovLH(float fov_y, float aspect, float near_plane, float far_plane) {
  const float y_scale = 1.0f / std::tan(fov_y / 2);
  const float x_scale = y_scale / aspect;
  const float depth = far_plane / (far_plane - near_plane);
  return {
      {{x_scale, 0, 0, 0}, {0, y_scale, 0, 0}, {0, 0, depth, 1}, {0, 0, -near_plane * depth, 0}}};
}

Vector3 TransformPoint(const Vector3& p, const Matrix4& m) {
  float out[4];
  for (int j = 0; j < 4; ++j) out[j] = p.x * m[0][j] + p.y * m[1][j] + p.z * m[2][j] + m[3][j];
  const float w = out[3] == 0 ? 1.0f : out[3];
  return {out[0] / w, out[1] / w, out[2] / w};
}

}  // namespace gantry
