#include "geometry/vectors.h"

#include <gtest/gtest.h>

namespace gantry {
namespace {

TEST(Math3d, DistancesAreComputedInDoublePrecision) {
  EXPECT_EQ(Distance3D(0, 0, 0, 1, 2, 2), 3.f);
  // Squares of these overflow a single; the result itself does not.
  EXPECT_FLOAT_EQ(Distance3D(0, 0, 0, 3e20f, 4e20f, 0), 5e20f);
}

}  // namespace
}  // namespace gantry
