#include "geometry/rotations.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <tuple>

#include "geometry/vectors.h"

namespace gantry {
namespace {

void ExpectNear(const Vector3& actual, const Vector3& expected, float tolerance = 1e-5f) {
  EXPECT_NEAR(actual.x, expected.x, tolerance);
  EXPECT_NEAR(actual.y, expected.y, tolerance);
  EXPECT_NEAR(actual.z, expected.z, tolerance);
}

Joint MakeJoint(const char* name, const char* parent, Vector3 position, Vector3 rotation,
                Vector3 axis = {}) {
  Joint j;
  j.Name = name;
  j.ParentName = parent;
  j.Position = position;
  j.Rotation = rotation;
  j.Axis = axis;
  return j;
}

TEST(Math3d, DistancesAreComputedInDoublePrecision) {
  EXPECT_EQ(Distance3D(0, 0, 0, 1, 2, 2), 3.f);
  // Squares of these overflow a single; the result itself does not.
  EXPECT_FLOAT_EQ(Distance3D(0, 0, 0, 3e20f, 4e20f, 0), 5e20f);
}

TEST(RotateVector, TurnsAboutXThenYThenZ) {
  const float quarter = kPiSingle / 2;
  ExpectNear(RotateVector({0, 1, 0}, {quarter, 0, 0}), {0, 0, 1});
  ExpectNear(RotateVector({0, 0, 1}, {0, quarter, 0}), {1, 0, 0});
  ExpectNear(RotateVector({1, 0, 0}, {0, 0, quarter}), {0, 1, 0});
  // (90, 90, 0) degrees: X first takes (0,1,0) to (0,0,1), then Y to (1,0,0).
  const Vector3 angles{static_cast<float>(DegreesToRadians(90)),
                       static_cast<float>(DegreesToRadians(90)), 0};
  ExpectNear(RotateVector({0, 1, 0}, angles), {1, 0, 0});
}

// The rule as written, a turn at a time.
double TurnByTurn(double value, double turn) {
  while (value > turn) value -= turn;
  while (value < 0) value += turn;
  return value;
}

TEST(AngleConversion, AgreesWithTurningATurnAtATime) {
  // Whole turns end at a full turn from above and at 0 from below; only angles above a turn wrap.
  EXPECT_EQ(DegreesToRadians(360), kTwoPiSingle);
  EXPECT_EQ(DegreesToRadians(720), kTwoPiSingle);
  EXPECT_EQ(RadiansToDegrees(8 * kPiSingle), 360);
  EXPECT_EQ(DegreesToRadians(-720), 0);
  EXPECT_FALSE(std::signbit(DegreesToRadians(-720)));
  EXPECT_LE(DegreesToRadians(1e300), kTwoPiSingle);  // ends
  EXPECT_TRUE(std::isnan(RadiansToDegrees(INFINITY)) && std::isnan(RadiansToDegrees(-INFINITY)));
  for (const double degrees : {0.1, 359.9, 360.0001, 1000.5, -0.1, -90.0, -359.9, -1e-20,
                               123456.789, -98765.4321, 359999999.0, -359999999.0}) {
    EXPECT_EQ(DegreesToRadians(degrees), TurnByTurn(degrees / 180 * kPiSingle, kTwoPiSingle))
        << degrees;
    const double radians = degrees / 1000;
    EXPECT_EQ(RadiansToDegrees(radians), TurnByTurn(radians / kPiSingle * 180, 360)) << radians;
  }
}

TEST(JointFrames, ExampleChainLookupsAndParentCycles) {
  JointListRecord joints;
  joints.Joints = {MakeJoint("Root", "", {}, {}),
                   MakeJoint("P", "Root", {10, 0, 0}, {0, 0, 1}, {0, 0, kPiSingle / 2 - 1})};
  ExpectNear(JointToWorld(joints, {1, 0, 0}, "P"), {10, 1, 0});
  ExpectNear(WorldToJoint(joints, {10, 1, 0}, "P"), {1, 0, 0});
  EXPECT_EQ(JointToWorld(joints, {1, 2, 3}, ""), (Vector3{1, 2, 3}));
  joints.Joints = {MakeJoint("A", "B", {1, 0, 0}, {}), MakeJoint("B", "A", {1, 0, 0}, {})};
  EXPECT_EQ(std::tuple(JointToWorld(joints, {}, "A"), WorldToJoint(joints, {2, 0, 0}, "A")),
            std::tuple(Vector3{2, 0, 0}, Vector3{}));
}

TEST(JointFrames, WorldToJointUndoesJointToWorld) {
  std::mt19937 rng(20240611);
  std::uniform_real_distribution<float> angle(-3.f, 3.f);
  std::uniform_real_distribution<float> coord(-50.f, 50.f);
  const auto random_vector = [&](auto& d) { return Vector3{d(rng), d(rng), d(rng)}; };
  JointListRecord joints;
  for (int round = 0; round < 50; ++round) {
    joints.Joints = {
        MakeJoint("Root", "", random_vector(coord), random_vector(angle)),
        MakeJoint("Arm", "Root", random_vector(coord), random_vector(angle), random_vector(angle)),
        MakeJoint("Hand", "Arm", random_vector(coord), random_vector(angle))};
    const Vector3 p = random_vector(coord);
    const Vector3 world = JointToWorld(joints, p, "Hand");
    ExpectNear(WorldToJoint(joints, world, "Hand"), p, 1e-3f);
  }
}

TEST(SpherePoint, RowsRunFromTopToBottom) {
  const Vector3 centre{1, 2, 3};
  // The top row whatever the column, the equator at column 0 and a quarter round, the bottom.
  const std::pair<std::array<double, 2>, Vector3> cases[] = {
      {{0, 0}, {-1, 3, -3}},  {{3, 0}, {-1, 3, -3}},  {{7, 0}, {-1, 3, -3}},
      {{0, 2}, {-1, -2, -8}}, {{2, 2}, {-6, -2, -3}}, {{0, 4}, {-1, -7, -3}}};
  for (const auto& [at, point] : cases)
    ExpectNear(SpherePoint(at[0], at[1], 8, 4, 5, centre), point);
}

}  // namespace
}  // namespace gantry
