// The Replace commands: refusals before any file is asked for, the questions each asks, and the
// conversion into each element kind.
#include "commands/replace_commands.h"

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "commands/create.h"
#include "hod/reset.h"
#include "support/scripted_ui.h"
#include "support/temp_folder.h"

namespace gantry::testing {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

constexpr const char* kQuad =
    "v 0 0 0\nv 2 0 0\nv 2 3 0\nv 0 3 0\nvt 0.5 0.25\nvn 0 0 1\n"
    "usemtl hull\nf 1/1/1 2/1/1 3/1/1 4/1/1\n";

class ReplaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    model_ = MakeDefaultModel();
    AddMesh(model_);
    AddLod(model_, 0, ui_);
    AddLod(model_, 0, ui_);
    model_.Materials.resize(2);
    model_.Materials[1].Name = "hull";
  }

  TempFolder folder_;
  std::string path_ = folder_.Write("quad.obj", kQuad);
  HodModel model_;
  ScriptedUi ui_;
};

TEST_F(ReplaceTest, LodRefusalsComeBeforeAnyFileIsAskedFor) {
  HodModel no_levels = model_;
  no_levels.Meshes[0].Lods.clear();
  HodModel no_materials = model_;
  no_materials.Materials.clear();
  const struct {
    HodModel* model;
    std::optional<std::size_t> mesh, lod;
    const char* message;
  } cases[] = {
      {&model_, std::nullopt, 0, "Plese select a mesh and a LoD to replace!"},
      {&model_, 0, std::nullopt, "Plese select a mesh and a LoD to replace!"},
      {&model_, 0, 2, "Plese select a mesh and a LoD to replace!"},
      {&no_levels, 0, 0, "No LoDs defined to replace!"},
      {&no_materials, 0, 0, "No materials defined! Can't replace LoD"},
  };
  for (const auto& c : cases) {
    ScriptedUi ui;
    ui.files = {path_};
    const HodModel before = *c.model;
    EXPECT_FALSE(ReplaceLod(*c.model, c.mesh, c.lod, ui).changed);
    EXPECT_EQ(std::tuple(ui.MessageTexts(), ui.messages[0].icon, ui.prompts.size(), *c.model),
              std::tuple(Texts{c.message}, Icon::Exclamation, 0u, before));
  }
}

TEST_F(ReplaceTest, LodIsReplacedWholeAndTheScarMeshResized) {
  ui_.files = {path_};
  ui_.answers = {Answer::Yes, Answer::Ok, Answer::Yes};  // merge, summary, reverse
  ui_.inputs = {"0.01", "0.1", "0.001"};
  ui_.materials = {1};
  const CommandResult result = ReplaceLod(model_, 0, 0, ui_);
  EXPECT_EQ(std::tuple(result.changed, result.select), std::tuple(true, 0u));
  const LodMesh& lod = model_.Meshes[0].Lods[0];
  ASSERT_EQ(lod.Parts.size(), 1u);
  EXPECT_EQ(std::tuple(lod.Parts[0].VertexCount, lod.Parts[0].MaterialIndex,
                       lod.Parts[0].Vertices[0].UV.v, model_.ScarMeshes[0].Box.Maximum),
            std::tuple(4, 1, 0.75f, Vector3{2, 3, 0}));
  EXPECT_EQ(std::tuple(ui_.messages.front().text, ui_.messages.back().text),
            std::tuple("Merge Vertices?", "Reverse UVs? (Usually Yes)"));
  EXPECT_EQ(ui_.statuses, (Texts{"Converting to BMSH format... (This may take time)", "Ready"}));
}

TEST_F(ReplaceTest, AnEmptyFileIsDeletedAndNothingElseHappens) {
  folder_.Write("quad.obj", "");
  ui_.files = {path_};
  const HodModel before = model_;
  EXPECT_FALSE(ReplaceLod(model_, 0, 1, ui_).changed);
  EXPECT_EQ(std::tuple(fs::exists(path_), ui_.messages.size(), model_),
            std::tuple(false, 0u, before));
}

TEST_F(ReplaceTest, WithoutQuestionsMaterialsMatchByName) {
  ASSERT_TRUE(ReplaceLodWithObjText(model_, 0, 1, kQuad, ui_));
  const LodMesh& lod = model_.Meshes[0].Lods[1];
  EXPECT_EQ(std::tuple(lod.LodLevel, lod.Parts.at(0).MaterialIndex, lod.Parts[0].VertexCount,
                       lod.Parts[0].Vertices[0].UV.v, ui_.messages.size()),
            std::tuple(1, 1, 4, 0.75f, 0u));
  // V as the file has it, for files written without reversing it.
  ASSERT_TRUE(ReplaceLodWithObjText(model_, 0, 1, kQuad, ui_, false));
  EXPECT_EQ(model_.Meshes[0].Lods[1].Parts[0].Vertices[0].UV.v, 0.25f);
}

TEST_F(ReplaceTest, AnEngineShapeLargerThanAHodHoldsIsRefused) {
  // 820 separate triangles: 820 * 40 bytes of outlines, and 4 + 15 + 4 + 4 for the lengths of
  // "NewEngineShape1" and "Root" and the texts.
  std::string big;
  for (int t = 0; t < 820; ++t) big += fmt::format("v {} 0 0\nv {} 1 0\nv {} 0 1\n", t, t, t);
  for (int t = 0; t < 820; ++t) big += fmt::format("f {} {} {}\n", 3 * t + 1, 3 * t + 2, 3 * t + 3);
  folder_.Write("quad.obj", big);
  AddEngineShape(model_);
  model_.EngineShapes[0].Outlines.resize(5);
  const HodModel before = model_;
  ui_.files = {path_};
  ui_.inputs = {"0.01", "0.1", "0.001"};
  EXPECT_FALSE(ReplaceEngineShape(model_, 0, ui_).changed);
  EXPECT_EQ(model_, before);
  ASSERT_EQ(ui_.messages.size(), 2u);  // the summary, then the refusal
  EXPECT_EQ(ui_.messages[1].text,
            "The engine shape would take 32827 bytes, but a HOD holds at most 32767 bytes per "
            "engine shape (about 800 triangles). Please use a simpler mesh.\r\nNothing was "
            "imported.");
}

TEST_F(ReplaceTest, EachElementGetsTheImportedMeshInItsOwnShape) {
  using Add = std::function<CommandResult(HodModel&)>;
  using Replace = std::function<CommandResult(HodModel&, std::optional<std::size_t>, Ui&)>;
  const struct {
    const char* name;
    Add add;
    Replace replace;
    bool asks_merge;
    std::function<void(const HodModel&)> check;
  } cases[] = {
      {"background", AddBackgroundMesh, ReplaceBackgroundMesh, true,
       [](const HodModel& m) { EXPECT_EQ(m.BackgroundMeshSet.Meshes[0].Parts[0].VertexCount, 4); }},
      {"scar", AddMesh, ReplaceScarMesh, true,
       [](const HodModel& m) {
         EXPECT_EQ(m.ScarMeshes[1].Triangles.IndexCount, 6);
         EXPECT_FALSE(m.ScarMeshes[1].Grid.Cells.empty());  // a new scar mesh has none
       }},
      {"glow", AddEngineGlow, ReplaceEngineGlow, true,
       [](const HodModel& m) { EXPECT_EQ(m.EngineGlows[0].Mesh.Parts[0].VertexMask, 11); }},
      {"collision", AddCollisionMesh, ReplaceCollisionMesh, true,
       [](const HodModel& m) {
         EXPECT_EQ(m.CollisionMeshes[0].Triangles.VertexCount, 4);
         EXPECT_EQ(m.CollisionMeshes[0].Box.Maximum, (Vector3{2, 3, 0}));
       }},
      {"shape",
       [](HodModel& m) {
         AddEngineShape(m);
         m.EngineShapes[0].Outlines.resize(5);
         return CommandResult::Changed(0);
       },
       ReplaceEngineShape, false,
       [](const HodModel& m) { EXPECT_EQ(m.EngineShapes[0].Outlines.size(), 2u); }},
      {"simple", AddSimpleMesh, ReplaceSimpleMesh, false,
       [](const HodModel& m) { EXPECT_EQ(m.SimpleMeshes[0].VertexCount, 6); }},
      {"burn", AddEngineBurn, ReplaceEngineBurnPoints, false,
       [](const HodModel& m) { EXPECT_EQ(m.EngineBurns[0].VertexCount, 4); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    HodModel model = model_;
    const std::size_t entry = *c.add(model).select;

    ScriptedUi refused;
    EXPECT_FALSE(c.replace(model, std::nullopt, refused).changed);
    EXPECT_EQ(refused.MessageTexts(), Texts{"Please select a object first!"});
    EXPECT_TRUE(refused.prompts.empty());

    ScriptedUi ui;
    ui.files = {path_};
    ui.answers = {Answer::Yes};
    ui.inputs = {"0.01", "0.1", "0.001"};
    EXPECT_TRUE(c.replace(model, entry, ui).changed);
    EXPECT_EQ(!ui.messages.empty() && ui.messages[0].text == "Merge Vertices?", c.asks_merge);
    c.check(model);
  }
}

}  // namespace
}  // namespace gantry::testing
