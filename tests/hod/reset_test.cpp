// The defaults of a new model, and what survives a read of a file that lacks a chunk.
#include "hod/reset.h"

#include <gtest/gtest.h>

#include "hod/hod_test_files.h"

namespace gantry::testing {
namespace {

bool AllListsEmpty(const HodModel& m) {
  return m.Materials.empty() && m.Textures.empty() && m.Meshes.empty() && m.SimpleMeshes.empty() &&
         m.VaryMeshes.empty() && m.EngineShapes.empty() && m.EngineBurns.empty() &&
         m.EngineGlows.empty() && m.Markers.empty() && m.CollisionMeshes.empty() &&
         m.ScarMeshes.empty() && m.Warnings.empty() && m.Errors.empty() &&
         m.BackgroundSegments.empty() && m.StarFields.empty() && m.LightList.Lights.empty() &&
         m.NavLightList.NavLights.empty() && m.DockPathList.Paths.empty() &&
         m.BackgroundMeshSet.Meshes.empty();
}

// Only what no other test relies on: the rest of a new model is what a new file and its save
// are checked against everywhere else.
TEST(HodReset, Defaults) {
  const HodModel m = MakeDefaultModel();
  EXPECT_TRUE(AllListsEmpty(m));
  EXPECT_EQ(m.HodVersion.Version, 512);
  ASSERT_EQ(m.JointList.Joints.size(), 1u);
  EXPECT_EQ(m.JointList.Joints[0].Name, "Root");
  EXPECT_EQ(m.JointList.Joints[0].Scale, (Vector3{1, 1, 1}));
  EXPECT_EQ(m.NavLightList.Version, 3);
  EXPECT_EQ(m.BoundaryVertices.Name, "Whole");
  EXPECT_EQ(m.BoundaryVertices.ParentName, "Root");
  ASSERT_EQ(m.BoundaryVertices.Vertices.size(), 8u);
  for (std::size_t i = 0; i < 8; ++i) {
    const Vector3 expected = i == 0 ? Vector3{-1, -1, -1} : i == 6 ? Vector3{1, 1, 1} : Vector3{};
    EXPECT_EQ(m.BoundaryVertices.Vertices[i], expected) << "vertex " << i + 1;
  }
  // BGLT's lengths are written as stored.
  EXPECT_EQ(m.BackgroundLight.Length, 8);
  EXPECT_EQ(m.BackgroundLight.SecondLength, 0);
}

TEST(HodReset, ListsAreEmptyAndResetUndoesARead) {
  const RichFile file = BuildRichFile();
  HodRead r(file.bytes);
  ASSERT_TRUE(Clean(r));
  HodModel& m = r.model;
  ASSERT_NE(m, MakeDefaultModel());

  // InitialiseLists empties the lists but keeps the single records.
  InitialiseLists(m);
  EXPECT_TRUE(AllListsEmpty(m));
  EXPECT_EQ(m.HodOwner.Owner, "me");
  EXPECT_EQ(m.BackgroundLight.SecondLength, 32);

  ResetModel(m);
  EXPECT_EQ(m, MakeDefaultModel());
}

}  // namespace
}  // namespace gantry::testing
