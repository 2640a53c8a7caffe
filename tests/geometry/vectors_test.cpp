#include "geometry/vectors.h"

#include <gtest/gtest.h>

namespace gantry {
namespace {

TEST(Math3d, DistancesAreComputedInDoublePrecision) {
  EXPECT_EQ(Distance3D(0, 0, 0, 1, 2, 2), 3.f);
  EXPECT_EQ(Distance2D(1, 1, 4, 5), 5.f);
  // Squares of these overflow a single; the result itself does not.
  EXPECT_FLOAT_EQ(Distance3D(0, 0, 0, 3e20f, 4e20f, 0), 5e20f);
  EXPECT_FLOAT_EQ(Distance2D(-3e20f, 0, 0, 4e20f), 5e20f);
}

TEST(Math3d, CollinearInThePlane) {
  EXPECT_TRUE(IsCollinear2D({0, 0, 0}, {0, 5, 0}, {0, 9, 0}));
  EXPECT_FALSE(IsCollinear2D({0, 0, 0}, {0, 5, 0}, {1, 9, 0}));
  EXPECT_FALSE(IsCollinear2D({0, 0, 0}, {1, 1, 0}, {1, 9, 0}));
  EXPECT_TRUE(IsCollinear2D({0, 0, 0}, {1, 1, 7}, {2, 2, -3}));  // z plays no part
  EXPECT_FALSE(IsCollinear2D({0, 0, 0}, {1, 1, 0}, {2, 2.5f, 0}));
}

TEST(Math3d, PointInTriangleIgnoresHeightAboveThePlane) {
  const Triangle t{Vector3{0, 0, 0}, Vector3{10, 0, 0}, Vector3{0, 10, 0}};
  EXPECT_TRUE(PointInTriangle(t, {2, 2, 5}, false) && PointInTriangle(t, {2, 2, -5}, true));
  // The last is past the long edge.
  for (const Vector3& p : {Vector3{20, 20, 0}, Vector3{-1, 2, 0}, Vector3{6, 6, 0}}) {
    EXPECT_FALSE(PointInTriangle(t, p, false)) << p.x;
  }
  const Triangle point{Vector3{1, 1, 1}, Vector3{1, 1, 1}, Vector3{1, 1, 1}};
  EXPECT_FALSE(PointInTriangle(point, {1, 1, 1}, false));
}

}  // namespace
}  // namespace gantry
