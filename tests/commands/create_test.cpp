// New elements, and models built and edited with the element commands: they must still save,
// read back as they were and validate as their content calls for.
#include "commands/create.h"

#include <gtest/gtest.h>

#include "commands/geometry_commands.h"
#include "commands/materials.h"
#include "commands/remove.h"
#include "hod/validate.h"
#include "support/model_parts.h"
#include "support/read_back.h"

namespace gantry::testing {
namespace {

using Texts = std::vector<std::string>;

Texts ValidationMessages(HodModel model) {
  ScriptedUi ui;
  ValidateHod(model, ui);
  return ui.MessageTexts();
}

TEST(AddElement, MeshWithScarMeshDockPathAndMarker) {
  HodModel model = MakeDefaultModel();
  AddMesh(model);
  AddMesh(model);
  EXPECT_EQ(AddMesh(model).select, 2u);
  const MultiMesh& mesh = model.Meshes[2];
  EXPECT_EQ(std::tuple(mesh.Name, mesh.ParentName, mesh.ID, mesh.Version),
            std::tuple("NewObject3", "Root", Tag("MULT"), 1400));
  ASSERT_EQ(model.ScarMeshes.size(), 3u);
  const ScarMesh& scar = model.ScarMeshes[2];
  EXPECT_EQ(std::tuple(scar.Description.Name, scar.Description.LodLevel, scar.GridHeader.PartTag,
                       scar.GridHeader.Version),
            std::tuple("NewObject3", 1, Tag("SSUB"), 1000));

  AddDockPath(model);
  const DockPath& path = model.DockPathList.Paths.at(0);
  ASSERT_EQ(path.Points.size(), 2u);
  EXPECT_EQ(
      std::tuple(path.Name, path.ParentName, model.DockPathList.PathCount, path.Points[1].MaxSpeed),
      std::tuple("NewPath1", "world", 1, 0.0f));

  model.JointList.Joints[0].Name = "Hull";
  AddMarker(model);
  EXPECT_EQ(std::tuple(model.Markers[0].Name, model.Markers[0].ParentName),
            std::tuple("Marker1", "Hull"));
}

TEST(AddElement, LightNamesAreRaisedAndWireframeMeshesUnnamed) {
  HodModel model = MakeDefaultModel();
  AddLight(model);
  model.LightList.Lights[0].Name = "Light2";
  AddLight(model);
  EXPECT_EQ(std::tuple(model.LightList.Lights.at(1).Name, model.LightList.LightCount),
            std::tuple("Light3", 2));

  AddSimpleMesh(model);
  model.HodName.TypeName = kWireframeMeshTypeName;
  AddSimpleMesh(model);
  EXPECT_EQ(std::tuple(model.SimpleMeshes[0].Name, model.SimpleMeshes[1].Name),
            std::tuple("SimpleMesh1", ""));
}

TEST(AddElement, LevelsOfDetailAndTheirRefusals) {
  HodModel model = MakeDefaultModel();
  AddMesh(model);
  ScriptedUi ui;
  EXPECT_FALSE(AddLod(model, std::nullopt, ui).changed);
  EXPECT_FALSE(AddLod(model, 1, ui).changed);
  EXPECT_EQ(AddLod(model, 0, ui).select, 0u);
  EXPECT_EQ(AddLod(model, 0, ui).select, 1u);
  EXPECT_EQ(model.Meshes[0].LodCount, 2);

  model.Meshes[0].ID = "GOBG";
  EXPECT_FALSE(AddLod(model, 0, ui).changed);
  EXPECT_EQ(model.Meshes[0].Lods.size(), 2u);
  EXPECT_EQ(ui.MessageTexts(),
            (Texts{"Please select a mesh to add a LoD", "Please select a mesh to add a LoD",
                   "Can't add LoDs to a Goblin!"}));
}

TEST(BoundaryVertexCount, RefusedTextsAreCorrectedValidOnesResize) {
  HodModel model = MakeDefaultModel();
  const HodModel before = model;
  const struct {
    const char* text;
    const char* corrected;
    const char* message;
  } refused[] = {{"abc", "0", "Please enter a numerical value!"},
                 {"-0.5x", "0", "Please enter a numerical value!"},
                 {"1.5", "2", "Need atleast TWO vertices for Boundaries!"},
                 {"3.5", "3", "Please enter integeral values only!"},
                 {"100000", "65535", "Please enter a numerical value!"}};
  for (const auto& c : refused) {
    ScriptedUi ui;
    const BoundaryCountResult result = SetBoundaryVertexCount(model, c.text, ui);
    EXPECT_EQ(std::tuple(result.corrected, result.changed, ui.MessageTexts()),
              std::tuple(c.corrected, false, Texts{c.message}))
        << c.text;
  }
  EXPECT_EQ(model, before);

  ScriptedUi ui;
  EXPECT_TRUE(SetBoundaryVertexCount(model, " 3 ", ui).changed);
  EXPECT_EQ(std::tuple(model.BoundaryVertices.VertexCount, model.BoundaryVertices.Vertices),
            std::tuple(3, std::vector<Vector3>{{-1, -1, -1}, {}, {}}));
  EXPECT_FALSE(SetBoundaryVertexCount(model, "3", ui).changed);
  EXPECT_TRUE(ui.messages.empty());
}

TEST(NewElementsSave, OneOfEachFamilyReadsBackAndValidatesAsEmpty) {
  HodModel model = MakeDefaultModel();
  for (auto add :
       {AddTexture, AddMesh, AddEngineShape, AddEngineBurn, AddEngineGlow, AddCollisionMesh,
        AddDockPath, AddMarker, AddSimpleMesh, AddNavLight, AddLight}) {
    add(model);
  }
  EXPECT_EQ(ReadBackDifferences(model), Texts{});
  // The new texture has no pixels yet, and behind it the new mesh has no levels.
  EXPECT_EQ(ValidationMessages(model),
            Texts{"Invalid texture detected ( index: 1 )\r\nPlease remove"});
  model.Textures.clear();
  EXPECT_EQ(ValidationMessages(model),
            Texts{"Geometry Object number 1 (name: NewObject1 )  is empty. Please Remove"});

  // Background meshes are written only in a background HOD.
  HodModel background = MakeDefaultModel();
  background.HodVersion.Version = 1000;
  AddBackgroundMesh(background);
  HodModel read;
  EXPECT_EQ(ReadBackDifferences(background, &read), Texts{});
  ASSERT_EQ(read.BackgroundMeshSet.Meshes.size(), 1u);
  EXPECT_EQ(read.BackgroundMeshSet.Meshes[0].Version, 1400);
  EXPECT_EQ(ValidationMessages(background), Texts{"BGMS part #1 is empty. Please fix..."});
}

// Adds, removals, moves and duplicates in a row.
TEST(NewElementsSave, EditingSequenceKeepsTheModelWritable) {
  Workspace ws;
  HodModel& m = ws.model;
  ScriptedUi ui;
  for (int i = 0; i < 3; ++i) AddMesh(m);
  for (const std::size_t mesh : {0, 1, 1, 2}) AddLod(m, mesh, ui);
  MoveMesh(ws, 0, MeshMove::Down, ui);  // NewObject2, NewObject1, NewObject3
  RemoveMesh(ws, 1, ui);                // NewObject2, NewObject3
  RemoveLod(ws, 0, 0, ui);
  AddDockPath(m);
  AddDockPath(m);
  RemoveDockPath(ws, 0, ui);
  AddMarker(m);
  AddEngineShape(m);
  ui.inputs = {"Copy", "Light1", "Lamp"};
  DuplicateEngineShape(m, 0, ui);
  AddEngineGlow(m);
  AddEngineBurn(m);
  RemoveEngineGlow(ws, 0, ui);
  AddLight(m);
  DuplicateLight(m, 0, ui);
  RemoveLight(ws, 0, ui);
  AddCollisionMesh(m);
  AddCollisionMesh(m);
  RemoveCollisionMesh(ws, 0);
  AddNavLight(m);
  AddNavLight(m);
  RemoveNavLight(ws, 0);
  AddTexture(m);
  RemoveTexture(ws, 0, ui);
  SetGoblin(m, 1, true, ui);
  EXPECT_EQ(ui.messages.size(), 1u);  // the light name that was taken

  for (MultiMesh& mesh : m.Meshes) {
    ASSERT_EQ(mesh.Lods.size(), 1u);
    mesh.Lods[0].Parts = {TrianglePart()};
    mesh.Lods[0].PartCount = 1;
  }
  AddMaterial(m);  // the parts use material 1
  EXPECT_EQ(ReadBackDifferences(m), Texts{});
  // Scar meshes still pair with their meshes by name; they are only empty.
  EXPECT_EQ(ValidationMessages(m),
            Texts{"Battle Scar Reference mesh number 1 doesn't have vertex\\face data!\r\n"
                  "Please Correct."});

  for (ScarMesh& scar : m.ScarMeshes) {
    scar.Triangles = scar.Normals = OneTriangle();
  }
  EXPECT_EQ(ReadBackDifferences(m), Texts{});
  EXPECT_EQ(ValidationMessages(m), Texts{"Collision Mesh number 1 ( called as 'NewCM_2_CM' ) has "
                                         "no  vertices\\faces!\r\n Please correct."});
}

}  // namespace
}  // namespace gantry::testing
