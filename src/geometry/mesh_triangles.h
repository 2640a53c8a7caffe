// The triangles a mesh part's face lists describe, as corner numbers into its vertices.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "hod/model.h"

namespace gantry {

// The triangles of a mesh part as corner numbers; strips turn every other triangle round so all
// face alike; corners past the vertices, or repeated (strip joins), drop the triangle.
using CornerIndices = std::array<std::int32_t, 3>;
std::vector<CornerIndices> PartTriangles(const MeshPart& part);

}  // namespace gantry
