#include "geometry/vectors.h"

#include <cmath>
#include <utility>

namespace gantry {

namespace {

// A plane a*x + b*y + c*z + d = 0, in double precision so the edge tests of thin triangles keep
// their sign.
struct Plane {
  double a = 0, b = 0, c = 0, d = 0;
};

Plane PlaneThrough(double ax, double ay, double az, double bx, double by, double bz, double cx,
                   double cy, double cz) {
  const double ux = bx - ax, uy = by - ay, uz = bz - az;
  const double vx = cx - ax, vy = cy - ay, vz = cz - az;
  Plane p;
  p.a = uy * vz - uz * vy;
  p.b = uz * vx - ux * vz;
  p.c = ux * vy - uy * vx;
  p.d = -(p.a * ax + p.b * ay + p.c * az);
  return p;
}

double SignedDistance(const Plane& plane, double x, double y, double z) {
  return (plane.a * x + plane.b * y + plane.c * z + plane.d) /
         std::sqrt(plane.a * plane.a + plane.b * plane.b + plane.c * plane.c);
}

}  // namespace

Vector3 MakeVector(float x, float y, float z) { return Vector3{x, y, z}; }

float Distance2D(float x1, float y1, float x2, float y2) {
  const double dx = static_cast<double>(x2) - x1;
  const double dy = static_cast<double>(y2) - y1;
  return static_cast<float>(std::sqrt(dx * dx + dy * dy));
}

float Distance3D(float x1, float y1, float z1, float x2, float y2, float z2) {
  const double dx = static_cast<double>(x2) - x1;
  const double dy = static_cast<double>(y2) - y1;
  const double dz = static_cast<double>(z2) - z1;
  return static_cast<float>(std::sqrt(dx * dx + dy * dy + dz * dz));
}

bool IsCollinear2D(const Vector3& p1, const Vector3& p2, const Vector3& p3) {
  if (p1.x == p2.x) return p2.x == p3.x;
  if (p2.x == p3.x) return false;
  // Slopes compared as singles, so points that differ only by rounding still count as a line.
  const auto slope1 =
      static_cast<float>((static_cast<double>(p1.y) - p2.y) / (static_cast<double>(p1.x) - p2.x));
  const auto slope2 =
      static_cast<float>((static_cast<double>(p2.y) - p3.y) / (static_cast<double>(p2.x) - p3.x));
  return slope1 == slope2;
}

bool PointInTriangle(const Triangle& triangle, const Vector3& p, bool flip) {
  Vector3 a = triangle[0];
  const Vector3 b = triangle[1];
  Vector3 c = triangle[2];
  if (flip) std::swap(a, c);

  const Plane face = PlaneThrough(a.x, a.y, a.z, b.x, b.y, b.z, c.x, c.y, c.z);
  if (face.a == 0 && face.b == 0 && face.c == 0 && face.d == 0) return false;

  // Each edge gets a plane standing upright on the face; p must lie on the opposite corner's
  // side of it, nearer the edge than that corner.
  const auto edge_passes = [&](const Vector3& from, const Vector3& to, const Vector3& opposite) {
    const Plane edge = PlaneThrough(from.x, from.y, from.z, to.x, to.y, to.z, from.x + face.a,
                                    from.y + face.b, from.z + face.c);
    const double d_opposite = SignedDistance(edge, opposite.x, opposite.y, opposite.z);
    double d_point = SignedDistance(edge, p.x, p.y, p.z);
    if (d_point == 0) d_point = 1;
    return d_opposite / d_point > 1;
  };
  return edge_passes(a, b, c) && edge_passes(b, c, a) && edge_passes(c, a, b);
}

}  // namespace gantry
