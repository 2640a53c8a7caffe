// The defaults of a new model, and what survives a read of a file that lacks a chunk.
#include "hod/reset.h"

#include <gtest/gtest.h>

#include <tuple>

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
  // BGLT's lengths are written as stored.
  EXPECT_EQ(
      std::tuple(m.HodVersion.Version, m.JointList.Joints.size(), m.JointList.Joints.at(0).Name,
                 m.JointList.Joints[0].Scale, m.NavLightList.Version, m.BoundaryVertices.Name,
                 m.BoundaryVertices.ParentName, m.BackgroundLight.Length,
                 m.BackgroundLight.SecondLength),
      std::tuple(512, 1u, "Root", Vector3{1, 1, 1}, 3, "Whole", "Root", 8, 0));
  EXPECT_EQ(m.BoundaryVertices.Vertices,
            (std::vector<Vector3>{{-1, -1, -1}, {}, {}, {}, {}, {}, {1, 1, 1}, {}}));
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
  EXPECT_EQ(std::tuple(m.HodOwner.Owner, m.BackgroundLight.SecondLength), std::tuple("me", 32));
  ResetModel(m);
  EXPECT_EQ(m, MakeDefaultModel());
}

}  // namespace
}  // namespace gantry::testing
