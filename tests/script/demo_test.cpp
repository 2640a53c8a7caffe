// The demo ship in samples/demo: its script, run as the command line's build runs it, loads every
// file it names, gives a model that validates without a word, and is written and read back
// unchanged, with every element the script describes.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "commands/geometry_commands.h"
#include "hod/hod_test_files.h"
#include "hod/hod_writer.h"
#include "hod/model_counts.h"
#include "hod/model_diff.h"
#include "hod/reset.h"
#include "hod/validate.h"
#include "script/script_import.h"
#include "support/scripted_ui.h"

namespace gantry::testing {
namespace {

namespace fs = std::filesystem;

std::string DemoScript() {
  return fs::weakly_canonical(fs::path(GANTRY_FIXTURES_DIR) / ".." / ".." / "samples" / "demo" /
                              "demo.hsc")
      .string();
}

// A new multi-mesh model, as the command line's build makes it.
HodModel NewMultiMesh() {
  HodModel model = MakeDefaultModel();
  model.HodName.TypeName = kMultiMeshTypeName;
  model.HodName.Length = static_cast<std::int32_t>(model.HodName.TypeName.size()) + 4;
  model.HodVersion.Version = kModelHodVersion;
  return model;
}

TEST(DemoShip, BuildsValidatesAndReadsBackWithEveryPart) {
  const std::string script = DemoScript();
  ASSERT_TRUE(fs::exists(script)) << script;
  HodModel model = NewMultiMesh();
  ScriptImportContext context;
  context.batch = true;
  ScriptedUi ui;
  const ScriptImportResult result = ImportHodScript(model, script, context, ui);
  ASSERT_TRUE(result.read);
  EXPECT_TRUE(result.file_failures.empty());
  EXPECT_TRUE(result.messages.empty());
  // The only thing said is BNDV_AutoCalc's question; a loader complaint would show here.
  for (const ScriptedUi::Shown& shown : ui.messages) {
    EXPECT_EQ(shown.icon, Icon::Question) << shown.text;
  }

  // Every family the script describes: the TGA as one level and the DDS with seven, the hull's
  // two levels, the antenna as a goblin, the glow's level.
  const std::map<std::string, std::int64_t> expected = {
      {"materials", 2},    {"textures", 2},          {"mip_levels", 8},    {"meshes", 2},
      {"goblins", 1},      {"lods_total", 4},        {"scar_meshes", 2},   {"joints", 14},
      {"markers", 2},      {"keyframe_tracks", 2},   {"dock_paths", 2},    {"dock_points", 7},
      {"nav_lights", 3},   {"collision_meshes", 1},  {"engine_shapes", 1}, {"engine_burns", 1},
      {"engine_glows", 1}, {"boundary_vertices", 8}, {"lights", 0}};
  for (const auto& [key, count] : CountModel(model)) {
    if (!expected.contains(key)) continue;  // vertex and index totals are the OBJ import's
    EXPECT_EQ(count, expected.at(key)) << key;
  }
  EXPECT_EQ(std::tuple(model.Textures[0].Format, model.Textures[1].Format),
            std::tuple(Tag("8888"), Tag("DXT1")));
  // Each level has a part per OBJ material, mapped to the HOD's materials by name.
  for (const LodMesh& lod : model.Meshes.at(0).Lods) {
    ASSERT_EQ(lod.Parts.size(), 2u);
    EXPECT_EQ(std::tuple(lod.Parts[0].MaterialIndex, lod.Parts[1].MaterialIndex), std::tuple(0, 1));
  }

  ScriptedUi check;
  EXPECT_TRUE(ValidateHod(model, check).valid);
  EXPECT_TRUE(check.messages.empty()) << ::testing::PrintToString(check.MessageTexts());

  std::vector<std::uint8_t> bytes;
  std::string error;
  ASSERT_TRUE(EncodeHod(model, bytes, &error)) << error;
  const HodRead back(bytes);
  EXPECT_TRUE(Clean(back)) << ::testing::PrintToString(back.ui.MessageTexts());
  EXPECT_EQ(DiffModels(model, back.model), std::vector<std::string>{});
}

}  // namespace
}  // namespace gantry::testing
