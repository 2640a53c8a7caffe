// The model comparison: every digit that tells two numbers apart, chunk framing left aside
// between dialects, and the search for numbers that are not finite.
#include "hod/model_diff.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "hod/reset.h"

namespace gantry {
namespace {

HodModel WithLight(float x) {
  HodModel model = MakeDefaultModel();
  model.LightList.Lights.resize(1);
  model.LightList.Lights[0].Position.x = x;
  return model;
}

TEST(ModelDiff, NumbersThatLookEqualShowTheirDifference) {
  const float a = 4770.487f;
  const auto lines = DiffModels(WithLight(a), WithLight(std::nextafter(a, 5000.0f)));
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], "lights.Lights[0].Position.x: 4770.487 != 4770.4873");
  EXPECT_EQ(DiffModels(WithLight(1.5f), WithLight(2.0f)),
            std::vector<std::string>{"lights.Lights[0].Position.x: 1.5 != 2"});
}

TEST(ModelDiff, ChunkFramingCountsOnlyWithinOneDialect) {
  HodModel classic = MakeDefaultModel();
  HodModel hod2 = classic;
  hod2.Dialect = HodDialect::Hod2;
  hod2.JointList.Kind = "FORM";
  classic.JointList.Kind = "HIER";
  // Across dialects the dialect is the difference, not the framing that follows from it.
  EXPECT_EQ(DiffModels(classic, hod2), std::vector<std::string>{"dialect: classic != hod2"});
  hod2.Dialect = HodDialect::Classic;
  EXPECT_EQ(DiffModels(classic, hod2).size(), 1u);
}

TEST(ModelDiff, FirstNonFiniteFieldIsNamed) {
  HodModel model = WithLight(1);
  EXPECT_EQ(FirstNonFiniteField(model), std::nullopt);
  model.LightList.Lights[0].Position.y = std::numeric_limits<float>::infinity();
  EXPECT_EQ(FirstNonFiniteField(model), "lights.Lights[0].Position.y");
  model.LightList.Lights[0].Position.y = 0;
  model.JointList.Joints.resize(2);
  model.JointList.Joints[1].Scale.z = std::nanf("");
  EXPECT_EQ(FirstNonFiniteField(model), "joints.Joints[1].Scale.z");
}

}  // namespace
}  // namespace gantry
