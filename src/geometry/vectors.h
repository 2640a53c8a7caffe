// Small vector helpers shared by the bounding volumes and the OBJ import. Vectors are plain
// triples of singles.
#pragma once

#include "hod/model.h"

namespace gantry {

// The distance computed in double precision and returned as a single.
float Distance3D(float x1, float y1, float z1, float x2, float y2, float z2);

}  // namespace gantry
