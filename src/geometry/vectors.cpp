#include "geometry/vectors.h"

#include <cmath>

namespace gantry {

float Distance3D(float x1, float y1, float z1, float x2, float y2, float z2) {
  const double dx = static_cast<double>(x2) - x1;
  const double dy = static_cast<double>(y2) - y1;
  const double dz = static_cast<double>(z2) - z1;
  return static_cast<float>(std::sqrt(dx * dx + dy * dy + dz * dz));
}

}  // namespace gantry
