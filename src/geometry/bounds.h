// Boxes and spheres around sets of points.
#pragma once

#include <vector>

#include "hod/model.h"

namespace gantry {

// Grows `box` just enough to hold `v`.
void WidenBox(BoundingBox& box, const Vector3& v);
// Box from the origin and the given points: every value starts at 0.
BoundingBox BoxAroundOrigin(const std::vector<Vector3>& points);
// Centred on the box, reaching the farthest point (distances in double precision).
BoundingSphere SphereAround(const std::vector<Vector3>& points, const BoundingBox& box);

}  // namespace gantry
