#include "commands/transforms.h"

#include <gtest/gtest.h>

#include "commands/messages.h"
#include "geometry/rotations.h"
#include "hod/reset.h"
#include "support/scripted_ui.h"

namespace gantry {
namespace {

using testing::ScriptedUi;

LodMesh Lod(Vector4 position, Vector4 normal = {0, 1, 0, 0}) {
  LodMesh lod;
  lod.Parts.emplace_back();
  lod.Parts[0].Vertices.resize(1);
  lod.Parts[0].Vertices[0].Position = position;
  lod.Parts[0].Vertices[0].Normal = normal;
  return lod;
}

// One mesh with two levels of detail and its scar mesh, one simple mesh.
HodModel MeshModel() {
  HodModel model = MakeDefaultModel();
  model.Meshes.emplace_back().Lods = {Lod({1, 2, 3, 1}), Lod({4, 5, 6, 1}, {1, 0, 0, 0})};
  ScarMesh& scar = model.ScarMeshes.emplace_back();
  scar.Triangles.Vertices = {{1, 0, 0}};
  scar.Normals.Vertices = {{0, 1, 0}};
  scar.Box = {{-1, -1, -1}, {1, 1, 1}};
  model.SimpleMeshes.emplace_back().Vertices = {{{1, 0, 0, 0.5f}, {0, 1, 0, 0}, {}}};
  return model;
}

const MeshVertex& V(const HodModel& m, int lod) {
  return m.Meshes[0].Lods[lod].Parts[0].Vertices[0];
}
Vector3 Xyz(const Vector4& v) { return {v.x, v.y, v.z}; }

void ExpectNear(const Vector3& actual, const Vector3& expected) {
  EXPECT_NEAR(actual.x, expected.x, 1e-5);
  EXPECT_NEAR(actual.y, expected.y, 1e-5);
  EXPECT_NEAR(actual.z, expected.z, 1e-5);
}

TEST(MeshCommands, NothingSelectedOrCancelledLeavesTheModel) {
  HodModel model = MeshModel();
  const HodModel before = model;
  ScriptedUi ui;
  EXPECT_FALSE(TranslateMeshCommand(model, std::nullopt, ui));
  EXPECT_FALSE(ScaleSimpleMeshCommand(model, 3, ui));
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[1].text, "Please Select geometry in the geometry section first!");
  EXPECT_EQ(ui.messages[1].icon, Icon::Exclamation);
  ui.inputs = {"1", "2", std::nullopt, "5", ""};
  EXPECT_FALSE(RotateMeshCommand(model, 0, ui));
  EXPECT_FALSE(MoveSimpleMeshCommand(model, 0, ui));
  EXPECT_EQ(model, before);
}

TEST(MeshCommands, TranslateScaleAndRotateEveryLevelAndTheScarMesh) {
  HodModel model = MeshModel();
  ScriptedUi ui;
  ui.inputs = {"1", "2", "3", "abc", "0", "2", "1", "0.5", "0", "0", "90"};
  ASSERT_TRUE(TranslateMeshCommand(model, 0, ui));
  EXPECT_EQ(V(model, 1).Position, (Vector4{5, 7, 9, 1}));
  EXPECT_EQ(model.ScarMeshes[0].Triangles.Vertices[0], (Vector3{2, 2, 3}));
  EXPECT_EQ(model.ScarMeshes[0].Box, MeshModel().ScarMeshes[0].Box);
  ASSERT_TRUE(ScaleMeshCommand(model, 0, ui));  // "abc" and 0 are asked again
  EXPECT_EQ(V(model, 1).Position, (Vector4{10, 7, 4.5f, 1}));
  EXPECT_EQ(V(model, 1).Normal, (Vector4{1, 0, 0, 0}));
  EXPECT_EQ(model.ScarMeshes[0].Triangles.Vertices[0], (Vector3{4, 2, 1.5f}));
  ASSERT_TRUE(RotateMeshCommand(model, 0, ui));  // degrees
  EXPECT_EQ(ui.prompts,
            (std::vector<std::string>{"X Co-ordinate", "Y Co-ordinate", "Z Co-ordinate", "X Scale",
                                      "X Scale", "X Scale", "Y Scale", "Z Scale", "X Rotation",
                                      "Y Rotation", "Z Rotation"}));
  ExpectNear(Xyz(V(model, 1).Position), {-7, 10, 4.5f});
  ExpectNear(Xyz(V(model, 1).Normal), {0, 1, 0});
  ExpectNear(model.ScarMeshes[0].Triangles.Vertices[0], {-2, 4, 1.5f});
  ExpectNear(model.ScarMeshes[0].Normals.Vertices[0], {-1, 0, 0});
}

TEST(MeshCommands, MirrorYNegatesPositionsAndNormalsEverywhere) {
  HodModel model = MeshModel();
  ScriptedUi ui;
  ASSERT_TRUE(MirrorMeshCommand(model, 0, {false, true, false}, ui));
  EXPECT_EQ(V(model, 0).Position, (Vector4{1, -2, 3, 1}));
  EXPECT_EQ(V(model, 1).Position, (Vector4{4, -5, 6, 1}));
  EXPECT_EQ(V(model, 0).Normal, (Vector4{0, -1, 0, 0}));
  EXPECT_EQ(model.ScarMeshes[0].Normals.Vertices[0], (Vector3{0, -1, 0}));
}

TEST(SimpleMeshCommands, RotateTakesRadiansScaleTakesZero) {
  HodModel model = MeshModel();
  const HodModel before = model;
  ScriptedUi ui;
  ui.inputs = {"0", "0", "0", "90", "0", "0", "0", "2", "3"};
  EXPECT_FALSE(RotateSimpleMeshCommand(model, 0, ui));
  EXPECT_EQ(model, before);
  ASSERT_TRUE(RotateSimpleMeshCommand(model, 0, ui));
  const SimpleVertex& v = model.SimpleMeshes[0].Vertices[0];
  EXPECT_EQ(Xyz(v.Normal), RotateVector({0, 1, 0}, {90, 0, 0}));
  ASSERT_TRUE(ScaleSimpleMeshCommand(model, 0, ui));
  EXPECT_EQ(v.Position, (Vector4{0, 0, 0, 0.5f}));
}

// One element of every kind at (1, 1, 1), spheres of radius 1.
HodModel FullModel() {
  HodModel model = MeshModel();
  const Vector3 one{1, 1, 1};
  model.Meshes[0].Lods = {Lod({1, 1, 1, 1})};
  model.ScarMeshes[0] = {};
  model.ScarMeshes[0].Triangles.Vertices = {one};
  model.SimpleMeshes[0].Vertices[0].Position = {1, 1, 1, 0.5f};
  model.BackgroundMeshSet.Meshes = {Lod({1, 1, 1, 1})};
  model.BackgroundSegments.emplace_back().Elements = {{1, 1, 1, 7, 7, 7, 7, 7}};
  model.BoundaryVertices.Vertices = {one};
  model.EngineBurns.emplace_back().Vertices = {one};
  model.CollisionMeshes.emplace_back().Triangles.Vertices = {one};
  for (auto* s : {&model.ScarMeshes[0].Sphere, &model.CollisionMeshes[0].Sphere}) *s = {one, 1};
  for (auto* b : {&model.ScarMeshes[0].Box, &model.CollisionMeshes[0].Box}) *b = {one, one};
  model.DockPathList.Paths.emplace_back().Points.emplace_back().Position = one;
  model.EngineShapes.emplace_back().Outlines.emplace_back().Vertices = {one};
  model.EngineGlows.emplace_back().Mesh = Lod({1, 1, 1, 1});
  model.JointList.Joints[0].Position = one;
  model.Markers.emplace_back().Position = {1, 1, 1};
  model.LightList.Lights.emplace_back().Position = one;
  model.NavLightList.NavLights.emplace_back();
  model.StarFields.emplace_back().Stars = {{1, 1, 1, 7, 7, 7, 7}};
  return model;
}

// Every position but the joints' and the bounding volumes'.
std::vector<Vector3> Positions(const HodModel& m) {
  const auto& e = m.BackgroundSegments[0].Elements[0];
  const auto& s = m.StarFields[0].Stars[0];
  const auto& mk = m.Markers[0].Position;
  return {Xyz(m.BackgroundMeshSet.Meshes[0].Parts[0].Vertices[0].Position),
          {e[0], e[1], e[2]},
          m.BoundaryVertices.Vertices[0],
          m.ScarMeshes[0].Triangles.Vertices[0],
          m.EngineBurns[0].Vertices[0],
          m.CollisionMeshes[0].Triangles.Vertices[0],
          m.DockPathList.Paths[0].Points[0].Position,
          m.EngineShapes[0].Outlines[0].Vertices[0],
          Xyz(m.EngineGlows[0].Mesh.Parts[0].Vertices[0].Position),
          {static_cast<float>(mk[0]), static_cast<float>(mk[1]), static_cast<float>(mk[2])},
          m.LightList.Lights[0].Position,
          Xyz(V(m, 0).Position),
          Xyz(m.SimpleMeshes[0].Vertices[0].Position),
          {s[0], s[1], s[2]}};
}

TEST(WholeModel, RescaleReachesEveryFamily) {
  HodModel model = FullModel();
  const HodModel before = model;
  ScriptedUi ui;
  ui.inputs = {"2", "0", "3", "4"};
  ASSERT_TRUE(RescaleHODCommand(model, ui));
  EXPECT_EQ(ui.prompts[2], "Enter Y Scale");
  const Vector3 s{2, 3, 4};
  for (const Vector3& p : Positions(model)) EXPECT_EQ(p, s);
  EXPECT_EQ(model.JointList.Joints[0].Position, s);
  EXPECT_EQ(model.ScarMeshes[0].Sphere, (BoundingSphere{s, 3}));
  EXPECT_EQ(model.CollisionMeshes[0].Box, (BoundingBox{s, s}));
  EXPECT_EQ(model.Markers[0].Position, (std::array<double, 3>{2, 3, 4}));
  EXPECT_EQ(model.BackgroundSegments[0].Elements[0][3], 7);
  EXPECT_EQ(model.SimpleMeshes[0].Vertices[0].Position.w, 1);
  EXPECT_EQ(V(model, 0).Normal, V(before, 0).Normal);
  EXPECT_EQ(model.NavLightList, before.NavLightList);

  // Markers are kept in double precision and scaled there.
  model.Markers[0].Position = {12345.678901234, -0.1, 1e-9};
  ASSERT_TRUE(RescaleHOD(model, 1, 3, 1));
  EXPECT_EQ(model.Markers[0].Position, (std::array<double, 3>{12345.678901234, -0.1 * 3, 1e-9}));
}

TEST(WholeModel, RotateTurnsPositionsAndRebuildsBoxes) {
  HodModel model = FullModel();
  const HodModel before = model;
  ScriptedUi ui;
  ui.inputs = {"0", "0", "90", "0", "0", "90", "0", "0", "90"};
  ui.answers = {Answer::Cancel, Answer::No, Answer::Yes};
  EXPECT_FALSE(RotateHODCommand(model, ui));
  EXPECT_EQ(model, before);
  ASSERT_TRUE(RotateHODCommand(model, ui));
  EXPECT_EQ(ui.messages[1].buttons, Buttons::YesNoCancel);
  EXPECT_EQ(ui.messages[1].text, "Rotate Joints?");
  for (const Vector3& p : Positions(model)) ExpectNear(p, {-1, 1, 1});
  EXPECT_EQ(model.JointList.Joints[0].Position, (Vector3{1, 1, 1}));
  EXPECT_EQ(V(model, 0).Normal, V(before, 0).Normal);
  // Rebuilt from the turned vertices, holding the origin.
  ExpectNear(model.CollisionMeshes[0].Box.Minimum, {-1, 0, 0});
  ExpectNear(model.ScarMeshes[0].Box.Maximum, {0, 1, 1});
  ASSERT_TRUE(RotateHODCommand(model, ui));
  ExpectNear(model.JointList.Joints[0].Position, {-1, 1, 1});
}

}  // namespace
}  // namespace gantry
