// The editor's glTF menu commands: Export writes the chosen file, Import brings a whole model into
// an empty one and replaces meshes by name in one that has meshes, and a damaged file changes
// nothing.
#include "commands/gltf_models.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "hod/model_diff.h"
#include "hod/reset.h"
#include "support/random_model.h"
#include "support/scripted_ui.h"
#include "support/temp_folder.h"

namespace gantry {
namespace {

class GltfCommands : public ::testing::Test {
 protected:
  std::string Path(const char* name) const { return folder_.Path(name); }

  testing::TempFolder folder_;
};

TEST_F(GltfCommands, ExportThenImportIntoAnEmptyModelGivesTheModel) {
  Workspace workspace;
  workspace.model = testing::RandomModel(3, HodType::MultiMesh);
  testing::ScriptedUi ui;
  ui.files.push_back(Path("ship.glb"));
  ASSERT_TRUE(ExportGltfCommand(workspace, ui));
  ASSERT_TRUE(std::filesystem::exists(Path("ship.glb")));

  HodModel model = MakeDefaultModel();
  ui.files.push_back(Path("ship.glb"));
  EXPECT_TRUE(ImportGltfCommand(model, ui).changed);
  const auto lines = DiffModels(workspace.model, model, {.max_differences = 3});
  EXPECT_TRUE(lines.empty()) << lines.front();
}

TEST_F(GltfCommands, ImportIntoAModelWithMeshesReplacesThemByName) {
  Workspace workspace;
  workspace.model = testing::RandomModel(5, HodType::MultiMesh);
  ASSERT_FALSE(workspace.model.Meshes.empty());
  testing::ScriptedUi ui;
  ui.files.push_back(Path("ship.gltf"));
  ASSERT_TRUE(ExportGltfCommand(workspace, ui));

  HodModel model = workspace.model;
  CompleteScarMeshes(model);
  model.Meshes[0].Lods.clear();  // what the import must bring back
  const std::size_t meshes = model.Meshes.size();
  ui.files.push_back(Path("ship.gltf"));
  EXPECT_TRUE(ImportGltfCommand(model, ui).changed);
  EXPECT_EQ(model.Meshes.size(), meshes);
  EXPECT_EQ(model.Meshes[0].Lods, workspace.model.Meshes[0].Lods);
  ASSERT_FALSE(ui.messages.empty());
  EXPECT_NE(ui.messages.back().text.find("replaced mesh"), std::string::npos);
}

// A HOD 2.0 model pairs scar meshes with meshes by name and keeps meshes without one.
TEST_F(GltfCommands, ImportIntoAHod2ModelBuildsNoScarMeshes) {
  Workspace workspace;
  workspace.model = testing::RandomModel(5, HodType::MultiMesh);
  workspace.model.ScarMeshes.clear();
  testing::ScriptedUi ui;
  ui.files = {Path("plain.glb"), Path("plain.glb")};
  ASSERT_TRUE(ExportGltfCommand(workspace, ui));
  HodModel model = workspace.model;
  model.Dialect = HodDialect::Hod2;
  EXPECT_TRUE(ImportGltfCommand(model, ui).changed);
  EXPECT_TRUE(model.ScarMeshes.empty());
}

TEST_F(GltfCommands, ADamagedFileChangesNothingAndSaysWhy) {
  folder_.Write("bad.glb", "glTF but not really");
  HodModel model = testing::RandomModel(7, HodType::MultiMesh);
  const HodModel before = model;
  testing::ScriptedUi ui;
  ui.files.push_back(Path("bad.glb"));
  EXPECT_FALSE(ImportGltfCommand(model, ui).changed);
  EXPECT_EQ(model, before);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_NE(ui.messages[0].text.find("bad.glb"), std::string::npos);
}

}  // namespace
}  // namespace gantry
