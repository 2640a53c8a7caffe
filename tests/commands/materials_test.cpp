#include "commands/materials.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "support/corpus.h"
#include "support/read_back.h"
#include "support/temp_folder.h"

namespace gantry {
namespace {

constexpr const char* kSelectFirst = "Please select a material in material secion first!";

HodModel ModelWithMaterials(int count) {
  HodModel model = MakeDefaultModel();
  for (int i = 0; i < count; ++i) AddMaterial(model);
  return model;
}

std::vector<std::string> LayerNames(const Material& m) {
  std::vector<std::string> names;
  for (const MaterialParameter& p : m.Parameters) names.push_back(p.LayerName);
  return names;
}

TEST(Materials, AddNumbersFromTheCountAndRemoveKeepsTheOrder) {
  HodModel model = MakeDefaultModel();
  EXPECT_EQ(AddMaterial(model).select, 0u);
  EXPECT_EQ(model.Materials[0],
            (Material{{"NRML", 0, "STAT"}, 1001, 10, "Material_1", 7, "default", 0, {}}));
  EXPECT_EQ((std::tuple{AddMaterial(model).select, AddMaterial(model).select}), std::tuple(1u, 2u));
  EXPECT_EQ(model.Materials[2].Name, "Material_3");
  DebugLog log;
  testing::ScriptedUi ui;
  EXPECT_FALSE(RemoveMaterial(model, std::nullopt, log, ui).changed);
  EXPECT_FALSE(RemoveMaterial(model, 3, log, ui).changed);
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>(2, kSelectFirst));
  EXPECT_EQ(ui.messages[0].icon, Icon::Exclamation);
  EXPECT_TRUE(RemoveMaterial(model, 0, log, ui).changed);
  EXPECT_EQ(std::tuple(model.Materials[0].Name, model.Materials[1].Name),
            std::tuple("Material_2", "Material_3"));
  EXPECT_EQ(log.messages(), std::vector<std::string>{"Removing last form"});
  RemoveMaterial(model, 1, log, ui);
  RemoveMaterial(model, 0, log, ui);
  EXPECT_TRUE(model.Materials.empty());
}

TEST(Materials, ScriptLinesDeclaringTexturesGiveTheirLayers) {
  const std::string script =
      "// static Texture $comment\r\n"
      "static Texture $diffuse\r\n"
      "    static Texture   $glow    \n"
      "\tstatic Texture\t$normal\t\r"
      "Static Texture $wrongCase\n"
      "static Colour $teambase\n"
      "simple base(Texture $diffuse, Texture $glow)\n"
      "static Texture\n"
      "static Texture $last";
  EXPECT_EQ(DeclaredTextureLayers(script),
            (std::vector<std::string>{"$diffuse", "$glow", "$normal", "", "$last"}));
  EXPECT_TRUE(DeclaredTextureLayers("").empty());
}

TEST(Materials, ChoosingAShaderRebuildsTheParametersFromTheScript) {
  HodModel model = ModelWithMaterials(2);
  testing::ScriptedUi ui;
  ui.inputs = {"4"};
  AddParameter(model, 1, ui);
  // Either separator in the chosen path.
  const testing::TempFolder folder;
  std::string path = folder.Write(
      "edge.st", "static Texture $diffuse\r\n   static Texture $glow   \r\nother text\r\n");
  std::replace(path.begin(), path.end(), '/', '\\');
  ui.files = {path};
  EXPECT_EQ(ChooseShader(model, 1, ui).select, 1u);
  EXPECT_EQ(ui.filters.back(), "Homeworld2 Shaders (*.st) |*.st|All Files (*.*) |*.*");
  const Material& m = model.Materials[1];
  EXPECT_EQ(std::tuple(m.ShaderName, m.ShaderLength, m.ParameterCount, m.Parameters,
                       ui.messages.size(), model.Materials[0].ShaderName),
            std::tuple("edge", 4, 2,
                       std::vector<MaterialParameter>{{5, 4, {}, 0, 8, "$diffuse"},
                                                      {5, 4, {}, 0, 5, "$glow"}},
                       0u, "default"));
}

TEST(Materials, ChoosingAShaderChangesNothingWithoutAReadableScript) {
  HodModel model = ModelWithMaterials(1);
  testing::ScriptedUi ui;
  ui.inputs = {"4"};
  AddParameter(model, 0, ui);
  const Material before = model.Materials[0];
  EXPECT_FALSE(ChooseShader(model, std::nullopt, ui).changed);
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{kSelectFirst});
  EXPECT_TRUE(ui.filters.empty());  // no dialog without a material
  ui.files = {std::nullopt, std::string()};
  EXPECT_FALSE(ChooseShader(model, 0, ui).changed);
  EXPECT_FALSE(ChooseShader(model, 0, ui).changed);
  EXPECT_EQ(ui.messages.size(), 1u);  // an empty answer ends quietly
  const testing::TempFolder folder;
  const std::string missing = folder.Path("no_such_shader.st");
  ui.files = {missing, folder.path().string()};
  EXPECT_FALSE(ChooseShader(model, 0, ui).changed);
  EXPECT_FALSE(ChooseShader(model, 0, ui).changed);
  ASSERT_EQ(ui.messages.size(), 3u);
  EXPECT_NE(ui.messages[1].text.find(missing), std::string::npos);
  EXPECT_EQ(model.Materials[0], before);
}

TEST(Materials, RealShaderScripts) {
  const std::pair<std::string, std::vector<std::string>> scripts[] = {
      {"Mephistofeles__hw2-shaders__ship.st", {"$diffuse", "$glow"}},
      {"tdmckenney0__slipstream-the-price-of-freedom__thruster.st",
       {"$diffuseOn", "$diffuseOff", "$glowOn", "$glowOff"}},
  };
  int found = 0;
  for (const auto& [name, layers] : scripts) {
    const std::string path = testing::CorpusOtherFile(name);
    if (path.empty()) continue;
    ++found;
    HodModel model = ModelWithMaterials(1);
    testing::ScriptedUi ui;
    ui.files = {path};
    ChooseShader(model, 0, ui);
    EXPECT_EQ(model.Materials[0].ShaderName, name.substr(0, name.size() - 3));  // less ".st"
    EXPECT_EQ(LayerNames(model.Materials[0]), layers) << name;
  }
  if (found == 0) GANTRY_CORPUS_ABSENT("no shader scripts in the corpus");
}

TEST(Materials, AddParameterAsksItsTypeAndTheTexturesName) {
  HodModel model = ModelWithMaterials(1);
  testing::ScriptedUi ui;
  // Cancelled (or empty), 0 and text that reads as 0 all end the command.
  ui.inputs = {std::nullopt, "0", "none"};
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(AddParameter(model, 0, ui).changed);
  ASSERT_EQ(ui.prompts.size(), 3u);
  EXPECT_EQ(ui.prompts[0],
            "What type of paramter?\r\n\t ( 0 = Cancel \r\n\t ( 4 = Colour Only \r\n\t ( 5 = "
            "Texture ");
  ui.inputs = {"4", "5", "$diffuse", "9", std::nullopt};
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(AddParameter(model, 0, ui).changed);
  EXPECT_EQ(ui.prompts[5], "Name of paramter");
  // Any other number is a texture; its name question cancelled leaves it unnamed.
  EXPECT_EQ(std::tuple(model.Materials[0].ParameterCount, model.Materials[0].Parameters),
            std::tuple(3, std::vector<MaterialParameter>{{4, 16, {1, 1, 1, 1}, -1, 0, ""},
                                                         {5, 4, {}, 0, 8, "$diffuse"},
                                                         {5, 4, {}, 0, 0, ""}}));
  EXPECT_FALSE(AddParameter(model, std::nullopt, ui).changed);
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{kSelectFirst});
}

TEST(Materials, ParameterListAndRemoval) {
  HodModel model = ModelWithMaterials(1);
  Material& m = model.Materials[0];
  testing::ScriptedUi ui;
  ui.inputs = {"5", "$diffuse", "4", "5", std::nullopt};
  for (int i = 0; i < 3; ++i) AddParameter(model, 0, ui);
  MaterialParameter unknown;
  unknown.Type = 7;
  m.Parameters.insert(m.Parameters.begin() + 1, unknown);
  // Numbered over all parameters; the one of unknown type gets no entry.
  EXPECT_EQ(ParameterEntries(m), (std::vector<ParameterEntry>{
                                     {"$diffuse", 0}, {"ColourParam3", 2}, {"UnnamedParam4", 3}}));
  EXPECT_EQ((std::tuple{RemoveParameter(model, 0, std::nullopt).changed,
                        RemoveParameter(model, 0, 4).changed, RemoveParameter(model, 0, 1).changed,
                        m.ParameterCount, ParameterEntries(m)}),
            std::tuple(false, false, true, 3,
                       std::vector<ParameterEntry>{
                           {"$diffuse", 0}, {"ColourParam2", 1}, {"UnnamedParam3", 2}}));
}

TEST(Materials, ShowingAParameterWarnsOfAMissingTexture) {
  HodModel model = MakeDefaultModel();
  model.Textures.resize(2);
  testing::ScriptedUi ui;
  // Shown as stored, in singles: a colour typed as 128 shows as 128 again.
  const ParameterView colour =
      ShowParameter(model, {4, 16, {1, 0.5f, 128 / 255.0f, 0}, -1, 0, ""}, ui);
  EXPECT_EQ(std::tuple(colour.colour, colour.colour_texts),
            std::tuple(true, std::array<std::string, 4>{"255", "127.5", "128", "0"}));
  for (int index : {0, 1, 2, -1}) {
    const ParameterView view = ShowParameter(model, {5, 4, {}, index, 0, ""}, ui);
    EXPECT_EQ(std::tuple(view.colour, view.texture_index), std::tuple(false, index));
  }
  EXPECT_EQ(ui.MessageTexts(),
            std::vector<std::string>(2, "Warning! Missing Texture link detected. Please fix."));
}

TEST(Materials, NewMaterialsAndParametersKeepTheModelWritable) {
  HodModel model = ModelWithMaterials(3);
  testing::ScriptedUi ui;
  ui.inputs = {"4", "5", "$diffuse", "5", std::nullopt};
  for (int i = 0; i < 3; ++i) AddParameter(model, 1, ui);
  model.Materials[1].Parameters[0].Colour.b = 0.25f;
  const testing::TempFolder folder;
  ui.files = {folder.Write("writable.st", "static Texture $glow\n")};
  ChooseShader(model, 2, ui);
  DebugLog log;
  RemoveMaterial(model, 0, log, ui);
  // A colour parameter's texture index (-1 when new) is not in the file; the diff knows that.
  HodModel read;
  EXPECT_EQ((std::tuple{testing::ReadBackDifferences(model, &read), read.Materials.size()}),
            std::tuple(std::vector<std::string>{}, 2u));
}

TEST(Materials, ParametersStopAtWhatAHodCanHold) {
  HodModel model = ModelWithMaterials(1);
  std::string script;
  for (int i = 0; i < 300; ++i) script += "static Texture $t" + std::to_string(i) + "\n";
  const testing::TempFolder folder;
  testing::ScriptedUi ui;
  ui.files = {folder.Write("many.st", script)};
  ChooseShader(model, 0, ui);
  EXPECT_EQ(std::tuple(model.Materials[0].ParameterCount, ui.messages.size()), std::tuple(254, 1u));
  ui.inputs = {"4"};
  EXPECT_FALSE(AddParameter(model, 0, ui).changed);
  // The dialog only; no type question.
  EXPECT_EQ(std::tuple(ui.messages.size(), ui.prompts.size()), std::tuple(2u, 1u));
}

}  // namespace
}  // namespace gantry
