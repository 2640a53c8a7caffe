#include "geometry/bounds.h"

#include "geometry/vectors.h"

namespace gantry {

void WidenBox(BoundingBox& box, const Vector3& v) {
  if (v.x < box.Minimum.x) box.Minimum.x = v.x;
  if (v.y < box.Minimum.y) box.Minimum.y = v.y;
  if (v.z < box.Minimum.z) box.Minimum.z = v.z;
  if (v.x > box.Maximum.x) box.Maximum.x = v.x;
  if (v.y > box.Maximum.y) box.Maximum.y = v.y;
  if (v.z > box.Maximum.z) box.Maximum.z = v.z;
}

BoundingBox BoxAroundOrigin(const std::vector<Vector3>& points) {
  BoundingBox box;
  for (const Vector3& p : points) WidenBox(box, p);
  return box;
}

BoundingSphere SphereAround(const std::vector<Vector3>& points, const BoundingBox& box) {
  BoundingSphere sphere;
  sphere.Centre = {(box.Minimum.x + box.Maximum.x) / 2, (box.Minimum.y + box.Maximum.y) / 2,
                   (box.Minimum.z + box.Maximum.z) / 2};
  for (const Vector3& p : points) {
    const float d = Distance3D(sphere.Centre.x, sphere.Centre.y, sphere.Centre.z, p.x, p.y, p.z);
    if (d > sphere.Radius) sphere.Radius = d;
  }
  return sphere;
}

}  // namespace gantry
