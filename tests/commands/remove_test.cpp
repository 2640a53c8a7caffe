// Removal, reordering and duplication: refusals, the mesh and scar-mesh pairing, level
// renumbering, the logs, counts that follow their lists.
#include "commands/remove.h"

#include <gtest/gtest.h>

#include <tuple>

#include "commands/create.h"
#include "commands/geometry_commands.h"
#include "support/scripted_ui.h"

namespace gantry::testing {
namespace {

using Texts = std::vector<std::string>;

// Mesh names, each followed by the name its scar mesh gives.
Texts Pairs(const HodModel& m) {
  Texts names;
  for (std::size_t i = 0; i < std::max(m.Meshes.size(), m.ScarMeshes.size()); ++i) {
    names.push_back(i < m.Meshes.size() ? m.Meshes[i].Name : "-");
    names.push_back(i < m.ScarMeshes.size() ? m.ScarMeshes[i].Description.Name : "-");
  }
  return names;
}

struct Session {
  Session() { ws.log.Clear(); }
  Texts Log() const { return ws.log.messages(); }
  Workspace ws;
  HodModel& m = ws.model;
  ScriptedUi ui;
};

TEST(RemoveElement, NothingSelectedIsRefusedOrIgnored) {
  Session s;
  AddMesh(s.m);
  AddLight(s.m);
  const HodModel before = s.m;
  for (const std::optional<std::size_t> none : {std::optional<std::size_t>(), {5}}) {
    RemoveTexture(s.ws, none, s.ui);
    RemoveMesh(s.ws, none, s.ui);
    MoveMesh(s.ws, none, MeshMove::Up, s.ui);
    RemoveLod(s.ws, none, 0, s.ui);
    RemoveLight(s.ws, none, s.ui);
    DuplicateLight(s.m, none, s.ui);
    ResetScarGrid(s.m, none, s.ui);
    RemoveStar(s.ws, StarGroupFamily::StarFields, 0, none, s.ui);
    EXPECT_FALSE(RemoveCollisionMesh(s.ws, none).changed);
    EXPECT_FALSE(RemoveBackgroundMesh(s.m, none).changed);
    EXPECT_FALSE(RemoveStarGroup(s.m, StarGroupFamily::BackgroundSegments, none).changed);
    EXPECT_FALSE(RemoveNavLight(s.ws, none).changed);
  }
  Texts once = {"Please select a texture in the texture section first!",
                "Please Select geometry in the geometry section first!",
                "Please Select geometry in the geometry section first!",
                "Please select a LoD to remove!"};
  once.resize(8, "Please select a object first!");
  Texts twice = once;
  twice.insert(twice.end(), once.begin(), once.end());
  EXPECT_EQ(s.ui.MessageTexts(), twice);
  for (const ScriptedUi::Shown& shown : s.ui.messages) EXPECT_EQ(shown.icon, Icon::Exclamation);
  EXPECT_TRUE(s.ui.prompts.empty());
  EXPECT_TRUE(s.Log().empty());
  EXPECT_EQ(s.m, before);
}

TEST(RemoveMesh, RemovalsAndMovesKeepTheScarPairing) {
  Session s;
  for (int i = 0; i < 4; ++i) AddMesh(s.m);
  EXPECT_EQ(RemoveMesh(s.ws, 1, s.ui).select, 1u);
  EXPECT_EQ(Pairs(s.m), (Texts{"NewObject1", "NewObject1", "NewObject3", "NewObject3", "NewObject4",
                               "NewObject4"}));
  EXPECT_EQ(s.Log(), (Texts{"Moved MULTForm #3 to MULTForm #2", "Moved MULTForm #4 to MULTForm #3",
                            "Removing last form"}));
  s.ws.log.Clear();
  EXPECT_FALSE(MoveMesh(s.ws, 0, MeshMove::Up, s.ui).changed);
  EXPECT_FALSE(MoveMesh(s.ws, 2, MeshMove::Down, s.ui).changed);
  EXPECT_EQ(MoveMesh(s.ws, 0, MeshMove::Down, s.ui).select, 1u);
  EXPECT_EQ(Pairs(s.m), (Texts{"NewObject3", "NewObject3", "NewObject1", "NewObject1", "NewObject4",
                               "NewObject4"}));
  EXPECT_EQ(s.Log(), (Texts{"Moved MULTForm #1 to MULTForm #4", "Moved MULTForm #2 to MULTForm #1",
                            "Moved MULTForm #4 to MULTForm #2"}));
}

// A HOD 2.0 model pairs a mesh with the scar mesh of its name, and some meshes have none.
TEST(RemoveMesh, Hod2ScarMeshesFollowTheirMeshByName) {
  Session s;
  for (int i = 0; i < 3; ++i) AddMesh(s.m);
  s.m.Dialect = HodDialect::Hod2;
  s.m.ScarMeshes.erase(s.m.ScarMeshes.begin());
  const auto scars = [&s] {
    Texts names;
    for (const ScarMesh& scar : s.m.ScarMeshes) names.push_back(scar.Description.Name);
    return names;
  };
  MoveMesh(s.ws, 2, MeshMove::Up, s.ui);
  EXPECT_EQ(scars(), (Texts{"NewObject3", "NewObject2"}));
  RemoveMesh(s.ws, 0, s.ui);  // NewObject1 has no scar mesh to lose
  EXPECT_EQ(scars(), (Texts{"NewObject3", "NewObject2"}));
  RemoveMesh(s.ws, 1, s.ui);
  EXPECT_EQ(scars(), Texts{"NewObject3"});
}

TEST(RemoveLod, LaterLevelsAreRenumberedFromZero) {
  Session s;
  AddMesh(s.m);
  AddMesh(s.m);
  for (int i = 0; i < 3; ++i) AddLod(s.m, 1, s.ui);
  const MultiMesh& mesh = s.m.Meshes[1];
  s.m.Meshes[1].Lods[2].PartCount = 7;  // tells the moved levels apart
  EXPECT_EQ(RemoveLod(s.ws, 1, 0, s.ui).select, 0u);
  EXPECT_EQ(std::tuple(mesh.LodCount, LodListEntries(mesh), mesh.Lods[1].PartCount),
            std::tuple(2, Texts{"LOD: 0", "LOD: 1"}, 7));
  EXPECT_EQ(s.Log(), (Texts{"Moving MULTForm #2's BMSH Form from 2 to 1",
                            "Moving MULTForm #2's BMSH Form from 3 to 2", "Removing last form"}));
  RemoveLod(s.ws, 1, 1, s.ui);
  RemoveLod(s.ws, 1, 0, s.ui);
  EXPECT_EQ(std::tuple(mesh.LodCount, LodListEntries(mesh)),
            std::tuple(0, Texts{"No LoDs defined"}));
  EXPECT_FALSE(RemoveLod(s.ws, 1, 0, s.ui).changed);  // the placeholder is selected
  EXPECT_EQ(s.ui.MessageTexts(), Texts{"No LoDs defined to remove!"});
}

TEST(RemoveTexture, LogsEachMoveAndKeepsTextureIndices) {
  Session s;
  for (int i = 0; i < 3; ++i) AddTexture(s.m);
  s.m.Textures[1].MipLevels.resize(2);
  s.m.Materials.resize(1);
  s.m.Materials[0].Parameters.resize(1);
  s.m.Materials[0].Parameters[0].TextureIndex = 2;
  RemoveTexture(s.ws, 0, s.ui);
  EXPECT_EQ(std::tuple(s.m.Textures.size(), s.m.Textures.at(0).FileName,
                       s.m.Materials[0].Parameters[0].TextureIndex),
            std::tuple(2u, "New Texture 2", 2));
  EXPECT_EQ(s.Log(), (Texts{"Moving Texture #2 to Texture #1...", "Moving MIP:1", "Moving MIP:2",
                            "Moving Texture #3 to Texture #2...", "Removing last form"}));
}

// Dock paths, lights and nav lights are covered by the save of the editing sequence.
TEST(RemoveElement, StarCountsFollowTheirLists) {
  Session s;
  s.m.StarFields.resize(2);
  s.m.StarFields[1].Stars = {Star{1}, Star{2}, Star{3}};
  s.m.StarFields[1].StarCount = 3;
  s.m.BackgroundSegments.resize(1);
  s.m.BackgroundSegments[0].Elements = {BackgroundElement{9}};
  s.m.BackgroundSegments[0].ElementCount = 1;
  EXPECT_EQ(RemoveStar(s.ws, StarGroupFamily::StarFields, 1, 0, s.ui).select, 0u);
  EXPECT_EQ(std::tuple(s.m.StarFields[1].StarCount, s.m.StarFields[1].Stars[0][0]),
            std::tuple(2, 2));
  RemoveStar(s.ws, StarGroupFamily::BackgroundSegments, 0, 0, s.ui);
  EXPECT_EQ(s.m.BackgroundSegments[0].ElementCount, 0);
  RemoveStarGroup(s.m, StarGroupFamily::StarFields, 0);
  EXPECT_EQ(std::tuple(s.m.StarFields.size(), s.m.StarFields.at(0).StarCount), std::tuple(1u, 2));
  EXPECT_EQ(s.Log(), Texts(2, "Removing last form"));  // star groups go without one
}

TEST(ResetScarGrid, LeavesOneEmptyCell) {
  Session s;
  AddMesh(s.m);
  ScarGrid& grid = s.m.ScarMeshes[0].Grid;
  grid = {2, 1, 1, {ScarCell{1, {0}}, ScarCell{}}};
  ResetScarGrid(s.m, 0, s.ui);
  EXPECT_EQ(grid, (ScarGrid{1, 1, 1, {ScarCell{}}}));
}

TEST(Duplicate, EngineShapesTakeAnyNameLightsAreAskedAgain) {
  Session s;
  AddEngineShape(s.m);
  s.m.EngineShapes[0].Outlines.resize(1);
  s.ui.inputs = {"NewEngineShape1", std::string()};
  EXPECT_EQ(DuplicateEngineShape(s.m, 0, s.ui).select, 1u);
  EXPECT_EQ(s.m.EngineShapes.at(1), s.m.EngineShapes[0]);
  EXPECT_FALSE(DuplicateEngineShape(s.m, 1, s.ui).changed);  // an empty answer ends it
  EXPECT_EQ(s.ui.prompts, Texts(2, "Enter a unique name for the new object: "));
  AddLight(s.m);
  AddLight(s.m);
  s.m.LightList.Lights[1].Type = 1;
  s.ui.inputs = {"Light1", "Light2", "Spot"};
  s.ui.answers = {Answer::Ok, Answer::Cancel};  // either button asks again
  EXPECT_EQ(DuplicateLight(s.m, 1, s.ui).select, 2u);
  EXPECT_EQ(s.ui.MessageTexts(),
            (Texts{"Object with name 'Light1' already exists!\r\nPlease enter a unique name.",
                   "Object with name 'Light2' already exists!\r\nPlease enter a unique name."}));
  EXPECT_EQ(std::tuple(s.ui.messages[1].buttons, s.ui.messages[1].icon, s.m.LightList.LightCount,
                       s.m.LightList.Lights[2].Name, s.m.LightList.Lights[2].Type),
            std::tuple(Buttons::OkCancel, Icon::Exclamation, 3, "Spot", 1));
}

}  // namespace
}  // namespace gantry::testing
