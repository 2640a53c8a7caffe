// The goblin switch and material reassignment of the geometry tab.
#include "commands/geometry_commands.h"

#include <gtest/gtest.h>

#include <tuple>

#include "commands/create.h"
#include "hod/reset.h"
#include "support/scripted_ui.h"

namespace gantry::testing {
namespace {

using Texts = std::vector<std::string>;

HodModel MeshWithLevels(int levels, ScriptedUi& ui) {
  HodModel model = MakeDefaultModel();
  AddMesh(model);
  for (int i = 0; i < levels; ++i) AddLod(model, 0, ui);
  return model;
}

TEST(GoblinSwitch, OneLevelBecomesAGoblinAndBack) {
  ScriptedUi ui;
  HodModel model = MeshWithLevels(1, ui);
  model.Meshes[0].Lods[0].LodLevel = 4;
  const MultiMesh& mesh = model.Meshes[0];
  const auto state = [&] {
    return std::tuple(mesh.ID, mesh.Version, LodListEntries(mesh),
                      model.ScarMeshes[0].Description.LodLevel);
  };
  EXPECT_EQ(SetGoblin(model, 0, true, ui).command.select, 0u);
  EXPECT_EQ(state(), std::tuple(Tag("GOBG"), 1000, Texts{"GOBlin Group 1"}, 0));
  SetGoblin(model, 0, false, ui);
  EXPECT_EQ(state(), std::tuple(Tag("MULT"), 1400, Texts{"LOD: 0"}, 1));
  EXPECT_TRUE(ui.messages.empty());
}

TEST(GoblinSwitch, RefusalsLeaveTheMeshAlone) {
  ScriptedUi ui;
  HodModel model = MeshWithLevels(3, ui);
  const HodModel before = model;
  const GoblinSwitchResult refused = SetGoblin(model, 0, true, ui);
  EXPECT_EQ(std::tuple(refused.uncheck, refused.command.changed), std::tuple(true, false));
  EXPECT_FALSE(SetGoblin(model, 1, true, ui).uncheck);
  EXPECT_EQ(ui.MessageTexts(), (Texts{"Can't make an object with LoDs a Goblin!",
                                      "Please Select geometry in the geometry section first!"}));
  EXPECT_EQ(model, before);
  HodModel empty = MeshWithLevels(0, ui);  // no levels: nothing to switch, nothing said
  EXPECT_FALSE(SetGoblin(empty, 0, true, ui).command.changed);
  EXPECT_EQ(std::tuple(empty.Meshes[0].ID, ui.messages.size()), std::tuple(Tag("MULT"), 2u));
}

TEST(ReassignMaterials, AsksOncePerPartNamingItsMaterial) {
  ScriptedUi ui;
  HodModel model = MeshWithLevels(2, ui);
  model.Materials.resize(2);
  model.Materials[1].Name = "Glass";
  std::vector<MeshPart>& parts = model.Meshes[0].Lods[1].Parts;
  parts.resize(3);
  parts[0].MaterialIndex = 1;
  parts[1].MaterialIndex = 7;
  parts[2].MaterialIndex = -1;
  ui.materials = {0, 1, -1};  // the last chooser is closed without a choice
  EXPECT_TRUE(ReassignMaterials(model, 0, 1, ui).changed);
  const std::string unknown =
      "Choose a material for part with current material '<Couldn't retrieve material name (!)>'";
  EXPECT_EQ(ui.prompts,
            (Texts{"Choose a material for part with current material 'Glass'", unknown, unknown}));
  EXPECT_EQ(std::tuple(parts[0].MaterialIndex, parts[1].MaterialIndex, parts[2].MaterialIndex),
            std::tuple(0, 1, -1));
  EXPECT_FALSE(ReassignMaterials(model, 0, std::nullopt, ui).changed);
  EXPECT_FALSE(ReassignMaterials(model, 0, 2, ui).changed);
  EXPECT_EQ(ui.prompts.size(), 3u);
}

}  // namespace
}  // namespace gantry::testing
