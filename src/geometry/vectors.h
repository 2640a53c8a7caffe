// Small vector helpers shared by the OBJ import, the bounding volumes, the background generator
// and the mesh operations. Vectors are plain triples of singles.
#pragma once

#include <array>

#include "hod/model.h"

namespace gantry {

using Triangle = std::array<Vector3, 3>;

Vector3 MakeVector(float x, float y, float z);
// Distances computed in double precision and returned as singles.
float Distance2D(float x1, float y1, float x2, float y2);
float Distance3D(float x1, float y1, float z1, float x2, float y2, float z2);
// Whether three points lie on one line in the x-y plane (z is ignored).
bool IsCollinear2D(const Vector3& p1, const Vector3& p2, const Vector3& p3);
// Whether p lies within the triangle's three edges (its distance from the triangle's plane does
// not matter). `flip` exchanges the first and third corners for the test.
bool PointInTriangle(const Triangle& triangle, const Vector3& p, bool flip);

}  // namespace gantry
