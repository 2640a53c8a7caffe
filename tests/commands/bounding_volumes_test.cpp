#include "commands/bounding_volumes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "hod/reset.h"
#include "support/scripted_ui.h"

namespace gantry {
namespace {

HodModel WithCollision(std::vector<Vector3> vertices) {
  HodModel model = MakeDefaultModel();
  model.CollisionMeshes.emplace_back().Triangles.Vertices = std::move(vertices);
  return model;
}

LodMesh Lod(const std::vector<Vector3>& positions) {
  LodMesh lod;
  for (const Vector3& p : positions) {
    lod.Parts.emplace_back().Vertices.emplace_back().Position = {p.x, p.y, p.z, 1};
  }
  return lod;
}

TEST(BoundingVolumes, BoxHoldsTheOriginSphereUsesOrdinaryDistance) {
  HodModel model = WithCollision({{10, 1, 1}, {20, 2, 2}});
  CalculateCollisionBox(model, 0);
  CalculateCollisionSphere(model, 0);
  EXPECT_EQ(std::tuple(model.CollisionMeshes[0].Box, model.CollisionMeshes[0].Sphere.Centre),
            std::tuple(BoundingBox{{0, 0, 0}, {20, 2, 2}}, Vector3{10, 1, 1}));
  model = WithCollision({{2, 0, 0}});
  CalculateCollisionSphere(model, 0);
  // The sphere leaves the box alone.
  EXPECT_EQ(std::tuple(model.CollisionMeshes[0].Sphere, model.CollisionMeshes[0].Box),
            std::tuple(BoundingSphere{{1, 0, 0}, 1}, BoundingBox{}));
  // Distances of absolute values would give sqrt(11.25) here.
  model = WithCollision({{1, 5, 0}, {-5, 1, 0}});
  CalculateCollisionSphere(model, 0);
  EXPECT_EQ(model.CollisionMeshes[0].Sphere.Centre, (Vector3{-2, 2.5f, 0}));
  EXPECT_FLOAT_EQ(model.CollisionMeshes[0].Sphere.Radius, std::sqrt(15.25f));
}

TEST(BoundingVolumes, ScarMeshesUseTheFirstLevelOfTheirMesh) {
  HodModel model = MakeDefaultModel();
  model.ScarMeshes.resize(2);
  model.ScarMeshes[1].Box = {{-3, -3, -3}, {3, 3, 3}};
  model.Meshes.emplace_back().Lods = {Lod({{-0.5f, 0.5f, 0}, {0.5f, 0.5f, 0}}),
                                      Lod({{100, 100, 100}})};
  testing::ScriptedUi ui;
  ASSERT_TRUE(ScarBoxCommand(model, 0, ui));
  CalculateScarSphere(model, 0);
  CalculateScarBox(model, 1);  // no mesh of its own
  EXPECT_EQ(std::tuple(model.ScarMeshes[0].Box, model.ScarMeshes[0].Sphere.Centre,
                       model.ScarMeshes[1].Box, model.BoundaryVertices.Vertices[6]),
            std::tuple(BoundingBox{{-0.5f, 0, 0}, {0.5f, 0.5f, 0}}, Vector3{0, 0.25f, 0},
                       BoundingBox{}, Vector3{1, 1, 1}));
}

TEST(BoundingVolumes, NothingSelected) {
  HodModel model = WithCollision({{5, 5, 5}});
  const HodModel before = model;
  testing::ScriptedUi ui;
  EXPECT_FALSE(CollisionBoxCommand(model, std::nullopt, ui));
  EXPECT_FALSE(ScarSphereCommand(model, 0, ui));  // there is no scar mesh 0
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(std::tuple(ui.messages[0].text, ui.messages[1].icon),
            std::tuple("Please select a object first!", Icon::Exclamation));
  EXPECT_EQ(model, before);
}

TEST(BoundaryVertices, FromEveryMeshThenGrownByBoxes) {
  HodModel model = WithCollision({{1, 1, 1}});
  model.Meshes.resize(2);
  model.Meshes[0].Lods = {Lod({{-10, 1, 2}}), Lod({{0, -4, 0}})};
  model.Meshes[1].Lods = {Lod({{10, 3, 1}})};
  model.BoundaryVertices.Vertices.resize(3);
  testing::ScriptedUi ui;
  ui.answers = {Answer::Yes, Answer::No};
  BoundaryVerticesCommand(model, ui);
  EXPECT_EQ(std::tuple(ui.messages[0].text, ui.messages[0].buttons),
            std::tuple("Slightly enlarge BNDV? ( by 5% )", Buttons::YesNo));
  const std::vector<Vector3>& v = model.BoundaryVertices.Vertices;
  ASSERT_EQ(v.size(), 8u);
  EXPECT_EQ(std::tuple(model.BoundaryVertices.VertexCount, v[0], v[6], v[3]),
            std::tuple(8, Vector3{-10.5f, -4.2f, 0}, Vector3{10.5f, 3.15f, 2.1f}, Vector3{}));
  CalculateCollisionBox(model, 0);
  EXPECT_EQ(v[6], (Vector3{10.5f, 3.15f, 2.1f}));
  model.CollisionMeshes[0].Triangles.Vertices = {{12, 0.5f, 0}};  // beyond vertex 7 in x only
  CalculateCollisionBox(model, 0);
  EXPECT_EQ(std::tuple(v[6], v[0]),
            std::tuple(Vector3{12, 3.15f, 2.1f}, Vector3{-10.5f, -4.2f, 0}));
  BoundaryVerticesCommand(model, ui);
  EXPECT_EQ(std::tuple(v[0], v[6]), std::tuple(Vector3{-10, -4, 0}, Vector3{10, 3, 2}));
}

}  // namespace
}  // namespace gantry
