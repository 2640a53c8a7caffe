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

// The same file three times: into an empty model, into one with meshes, and into a HOD 2.0
// model, which pairs scar meshes with meshes by name and keeps meshes without one.
TEST_F(GltfCommands, ExportThenImportIntoEmptyModelsAndModelsWithMeshes) {
  Workspace workspace;
  workspace.model = testing::RandomModel(3, HodType::MultiMesh);
  workspace.model.ScarMeshes.clear();
  testing::ScriptedUi ui;
  ui.files = {Path("ship.gltf"), Path("ship.gltf"), Path("ship.gltf"), Path("ship.gltf")};
  ASSERT_TRUE(ExportGltfCommand(workspace, ui));

  HodModel empty = MakeDefaultModel();
  EXPECT_TRUE(ImportGltfCommand(empty, ui).changed);
  const auto lines = DiffModels(workspace.model, empty, {.max_differences = 3});
  EXPECT_TRUE(lines.empty()) << lines.front();

  HodModel model = workspace.model;
  CompleteScarMeshes(model);
  ASSERT_FALSE(model.Meshes[0].Lods.empty());
  model.Meshes[0].Lods.clear();  // what the import must bring back
  const std::size_t meshes = model.Meshes.size();
  EXPECT_TRUE(ImportGltfCommand(model, ui).changed);
  EXPECT_EQ(model.Meshes.size(), meshes);
  EXPECT_EQ(model.Meshes[0].Lods, workspace.model.Meshes[0].Lods);
  ASSERT_FALSE(ui.messages.empty());
  EXPECT_NE(ui.messages.back().text.find("replaced mesh"), std::string::npos);

  HodModel hod2 = workspace.model;
  hod2.Dialect = HodDialect::Hod2;
  EXPECT_TRUE(ImportGltfCommand(hod2, ui).changed);
  EXPECT_TRUE(hod2.ScarMeshes.empty());
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
