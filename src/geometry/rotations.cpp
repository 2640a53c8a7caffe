#include "geometry/rotations.h"

#include <array>
#include <cmath>
#include <numbers>
#include <vector>

namespace gantry {

namespace {

using Matrix3 = std::array<std::array<float, 3>, 3>;

Matrix3 Multiply(const Matrix3& l, const Matrix3& r) {
  Matrix3 m{};
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      m[i][j] = l[i][0] * r[0][j] + l[i][1] * r[1][j] + l[i][2] * r[2][j];
    }
  }
  return m;
}

const Joint* FindJoint(const JointListRecord& joints, std::string_view name) {
  if (name.empty()) return nullptr;
  for (const Joint& j : joints.Joints) {
    if (j.Name == name) return &j;
  }
  return nullptr;
}

Vector3 Add(const Vector3& a, const Vector3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }

// The value a turn at a time: above a turn, subtract turns while above one (so whole turns end
// at a full turn, not 0); below 0, add turns until not below 0. Done with fmod, which is exact,
// as is every one of those subtractions for any angle a person types; so the results are the
// same, and a typed 359999999 degrees costs no million steps.
double IntoRange(double value, double full_turn) {
  if (value > full_turn) {
    value = std::fmod(value, full_turn);  // NaN for infinity, and stays so
    return value == 0 ? full_turn : value;
  }
  if (value < 0) {
    value = std::fmod(value, full_turn);
    if (value < 0) return value + full_turn;
    return value == 0 ? 0.0 : value;  // -0 after whole turns ends at +0; NaN stays
  }
  return value;
}

}  // namespace

// Everything in singles, the way Direct3D's matrix helpers do it: the three axis rotations
// multiplied into one row-vector matrix (X * Y * Z), then the vector times that matrix. Rounding
// then agrees with other Direct3D-based tools that move the same models.
Vector3 RotateVector(const Vector3& v, const Vector3& angles) {
  const float sx = std::sin(angles.x), cx = std::cos(angles.x);
  const float sy = std::sin(angles.y), cy = std::cos(angles.y);
  const float sz = std::sin(angles.z), cz = std::cos(angles.z);
  const Matrix3 rx{{{1, 0, 0}, {0, cx, sx}, {0, -sx, cx}}};
  const Matrix3 ry{{{cy, 0, -sy}, {0, 1, 0}, {sy, 0, cy}}};
  const Matrix3 rz{{{cz, sz, 0}, {-sz, cz, 0}, {0, 0, 1}}};
  const Matrix3 m = Multiply(Multiply(rx, ry), rz);
  return {v.x * m[0][0] + v.y * m[1][0] + v.z * m[2][0],
          v.x * m[0][1] + v.y * m[1][1] + v.z * m[2][1],
          v.x * m[0][2] + v.y * m[1][2] + v.z * m[2][2]};
}

double DegreesToRadians(double degrees) {
  return IntoRange(degrees / 180 * kPiSingle, kTwoPiSingle);
}

double RadiansToDegrees(double radians) { return IntoRange(radians / kPiSingle * 180, 360); }

Vector3 JointToWorld(const JointListRecord& joints, Vector3 p, std::string_view joint) {
  // A chain longer than the list can only be a parent cycle in a damaged file.
  std::size_t steps = 0;
  for (const Joint* j = FindJoint(joints, joint); j && steps < joints.Joints.size();
       j = FindJoint(joints, j->ParentName), ++steps) {
    p = Add(RotateVector(p, Add(j->Rotation, j->Axis)), j->Position);
  }
  return p;
}

Vector3 WorldToJoint(const JointListRecord& joints, Vector3 p, std::string_view joint) {
  std::vector<const Joint*> chain;
  for (const Joint* j = FindJoint(joints, joint); j && chain.size() < joints.Joints.size();
       j = FindJoint(joints, j->ParentName)) {
    chain.push_back(j);
  }
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    const Joint& j = **it;
    const Vector3 a = Add(j.Rotation, j.Axis);
    p = {p.x - j.Position.x, p.y - j.Position.y, p.z - j.Position.z};
    p = RotateVector(p, {0, 0, -a.z});
    p = RotateVector(p, {0, -a.y, 0});
    p = RotateVector(p, {-a.x, 0, 0});
  }
  return p;
}

Vector3 SpherePoint(double c, double r, double w, double h, double radius, const Vector3& centre) {
  constexpr double kPi = std::numbers::pi;
  const double s = c / w;
  const double t = r / h;
  return {static_cast<float>(-radius * std::sin(kPi * t) * std::sin(2 * kPi * s) - centre.x),
          static_cast<float>(radius * std::cos(kPi * t) - centre.y),
          static_cast<float>(-radius * std::sin(kPi * t) * std::cos(2 * kPi * s) - centre.z)};
}

}  // namespace gantry
