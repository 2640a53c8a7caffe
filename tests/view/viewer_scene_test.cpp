#include "view/math/viewer_scene.h"

#include <gtest/gtest.h>

#include "hod/reset.h"

namespace gantry {
namespace {

MeshPart StripPart(std::int32_t material) {
  MeshPart part;
  part.MaterialIndex = material;
  part.VertexMask = kMaskPosition | kMaskUV;
  for (int i = 0; i < 4; ++i) {
    MeshVertex v;
    v.Position = {static_cast<float>(i % 2), static_cast<float>(i / 2), 0, 1};
    v.UV = {0.25f * static_cast<float>(i), 0.5f};
    part.Vertices.push_back(v);
  }
  FaceList strip;
  strip.Type = kFaceListStrip;
  strip.Indices = {0, 1, 2, 3, 3, 9};  // a join repeat and a corner past the vertices drop out
  part.FaceLists = {strip};
  return part;
}

TEST(ViewerScene, TickedLevelsInModelSpaceByMaterial) {
  HodModel model = MakeDefaultModel();
  Joint arm;
  arm.Name = "Arm";
  arm.ParentName = "Root";
  arm.Position = {10, 0, 0};
  arm.Scale = {1, 1, 1};
  model.JointList.Joints.push_back(arm);
  MultiMesh mesh;
  mesh.Name = "Hull";
  mesh.ParentName = "Arm";
  mesh.Lods.resize(2);
  mesh.Lods[0].Parts = {StripPart(1), StripPart(0)};
  mesh.Lods[1].Parts = {StripPart(0)};
  model.Meshes = {mesh};

  const SceneTicks ticks = DefaultSceneTicks(model);
  ASSERT_EQ(ticks.lods, (std::vector<std::vector<bool>>{{true, false}}));
  const std::vector<SceneBuffer> scene = BuildScene(model, true, ticks);
  ASSERT_EQ(scene.size(), 2u);
  EXPECT_EQ(scene[0].material, 0);
  // Two strip triangles, the second turned round; placed under the joint. The four corners are
  // placed once each and named by the triangles.
  ASSERT_EQ(scene[0].indices.size(), 6u);
  EXPECT_EQ(scene[0].vertices.size(), 4u);
  const auto corner = [&](std::size_t k) { return scene[0].vertices.at(scene[0].indices[k]); };
  EXPECT_FLOAT_EQ(corner(0).position.x, 10);
  EXPECT_FLOAT_EQ(corner(3).position.x, 11);  // corner 3 of (3, 2, 1)
  EXPECT_FLOAT_EQ(corner(3).position.y, 1);
  EXPECT_FLOAT_EQ(corner(3).u, 0.75f);
  EXPECT_EQ(scene[0].indices[4], scene[0].indices[2]);  // corner 2 is shared
  EXPECT_EQ(corner(0).colour, (std::array<std::uint8_t, 4>{255, 255, 255, 255}));
  EXPECT_TRUE(BuildScene(model, false, ticks).empty());
}

TEST(ViewerScene, DiffuseTextureChoice) {
  HodModel model = MakeDefaultModel();
  model.Textures.resize(3);
  MaterialParameter glow;
  glow.Type = 5;
  glow.LayerName = "$glow";
  glow.TextureIndex = 1;
  MaterialParameter diffuse = glow;
  diffuse.LayerName = "$DiffuseOff";
  diffuse.TextureIndex = 2;
  model.Materials.resize(3);
  model.Materials[0].Parameters = {glow, diffuse};
  model.Materials[1].Parameters = {glow};  // the only parameter, whatever its name
  model.Materials[2].Parameters = {glow, glow};
  EXPECT_EQ(DiffuseTexture(model, 0), 2u);
  EXPECT_EQ(DiffuseTexture(model, 1), 1u);
  EXPECT_EQ(DiffuseTexture(model, 2), std::nullopt);
  EXPECT_EQ(DiffuseTexture(model, 7), std::nullopt);
}

}  // namespace
}  // namespace gantry
