#include "view/viewer_scene.h"

#include <gtest/gtest.h>

#include <tuple>

#include "hod/reset.h"
#include "support/model_parts.h"

namespace gantry {
namespace {

// The four corners of a unit square as one strip: two triangles, then a join repeat and a
// corner past the vertices that drop out.
MeshPart StripPart(std::int32_t material) {
  MeshPart part = testing::SquarePart(0.5f, {0, 1, 2, 3, 3, 9});
  part.MaterialIndex = material;
  part.FaceLists[0].Type = kFaceListStrip;
  return part;
}

TEST(ViewerScene, TickedLevelsInModelSpaceByMaterial) {
  HodModel model = MakeDefaultModel();
  model.JointList.Joints.push_back({3, "Arm", 4, "Root", {10, 0, 0}, {}, {1, 1, 1}, {}});
  MultiMesh& mesh = model.Meshes.emplace_back();
  mesh.ParentName = "Arm";
  mesh.Lods = {testing::LodOf({StripPart(1), StripPart(0)}), testing::LodOf({StripPart(0)})};

  const SceneTicks ticks = DefaultSceneTicks(model);
  ASSERT_EQ(ticks.lods, (std::vector<std::vector<bool>>{{true, false}}));
  const std::vector<SceneBuffer> scene = BuildScene(model, true, ticks);
  ASSERT_EQ(scene.size(), 2u);
  // Two strip triangles, the second turned round; placed under the joint. The four corners are
  // placed once each and named by the triangles: corner 3 is of (3, 2, 1), corner 2 is shared.
  ASSERT_EQ(scene[0].indices.size(), 6u);
  const auto corner = [&](std::size_t k) { return scene[0].vertices.at(scene[0].indices[k]); };
  EXPECT_EQ(std::tuple(scene[0].material, scene[0].vertices.size(), corner(0).position.x,
                       corner(3).position, corner(3).u, scene[0].indices[4], corner(0).colour),
            std::tuple(0, 4u, 9.5f, Vector3{10.5f, 0.5f, 0}, 1.0f, scene[0].indices[2],
                       std::array<std::uint8_t, 4>{255, 255, 255, 255}));
  EXPECT_TRUE(BuildScene(model, false, ticks).empty());
}

// A square of side 100 in z = 0 as a grid of 100 x 100 quads, each two triangles wound alike.
std::vector<SceneBuffer> FineSquare() {
  SceneBuffer buffer;
  buffer.material = 2;
  constexpr int kSide = 100;
  for (int j = 0; j <= kSide; ++j) {
    for (int i = 0; i <= kSide; ++i) {
      SceneVertex v;
      v.position = {static_cast<float>(i), static_cast<float>(j), 0};
      v.colour = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(j), 0, 255};
      buffer.vertices.push_back(v);
    }
  }
  const auto at = [](int i, int j) { return static_cast<std::uint32_t>(j * (kSide + 1) + i); };
  for (int j = 0; j < kSide; ++j) {
    for (int i = 0; i < kSide; ++i) {
      buffer.indices.insert(buffer.indices.end(), {at(i, j), at(i, j + 1), at(i + 1, j),
                                                   at(i + 1, j), at(i, j + 1), at(i + 1, j + 1)});
    }
  }
  return {buffer};
}

// Twice the signed area in the xy plane: its sign is the winding.
double Cross(const SceneBuffer& b, std::size_t k) {
  const Vector3& p = b.vertices[b.indices[k]].position;
  const Vector3& q = b.vertices[b.indices[k + 1]].position;
  const Vector3& r = b.vertices[b.indices[k + 2]].position;
  return (static_cast<double>(q.x) - p.x) * (static_cast<double>(r.y) - p.y) -
         (static_cast<double>(q.y) - p.y) * (static_cast<double>(r.x) - p.x);
}

TEST(ViewerScene, TheMovingStandInIsCoarseWhole) {
  const std::vector<SceneBuffer> fine = FineSquare();
  ASSERT_EQ(SceneTriangles(fine), 20000u);
  const double winding = Cross(fine[0], 0);
  const std::vector<SceneBuffer> coarse = SimplifiedScene(fine, 10);
  ASSERT_EQ(coarse.size(), 1u);
  EXPECT_EQ(coarse[0].material, 2);
  // About two triangles per cell of a 10 x 10 grid.
  const std::size_t triangles = SceneTriangles(coarse);
  EXPECT_GE(triangles, 150u);
  EXPECT_LE(triangles, 2u * 11 * 11);
  double area = 0;
  for (std::size_t k = 0; k < coarse[0].indices.size(); k += 3) {
    const double cross = Cross(coarse[0], k);
    EXPECT_GT(cross * winding, 0) << "triangle " << k / 3 << " turned round or flat";
    area += std::abs(cross) / 2;
  }
  // Kept corners are corners of the model, and the surface still covers the square but for the
  // last part-cell along two edges.
  for (const SceneVertex& v : coarse[0].vertices) {
    EXPECT_EQ(v.colour[0], static_cast<std::uint8_t>(v.position.x));
  }
  EXPECT_GT(area, 0.8 * 100 * 100);
  EXPECT_LE(area, 100.0 * 100);
  // A grid coarser than the model leaves it as it was, less the sharing.
  EXPECT_EQ(SceneTriangles(SimplifiedScene(fine, 1000)), 20000u);
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
  EXPECT_EQ(std::tuple(DiffuseTexture(model, 0), DiffuseTexture(model, 1), DiffuseTexture(model, 2),
                       DiffuseTexture(model, 7)),
            std::tuple(2u, 1u, std::nullopt, std::nullopt));
}

}  // namespace
}  // namespace gantry
