#include "commands/materials.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "hod/hod_test_files.h"
#include "hod/hod_writer.h"
#include "hod/model_diff.h"
#include "hod/reset.h"
#include "support/corpus.h"
#include "support/scripted_ui.h"

namespace gantry {
namespace {

namespace fs = std::filesystem;

constexpr const char* kSelectFirst = "Please select a material in material secion first!";

// Also keeps the file dialog's filter.
struct FileUi : testing::ScriptedUi {
  std::optional<std::string> OpenFile(std::string_view filter, std::string_view title) override {
    filters.emplace_back(filter);
    return ScriptedUi::OpenFile(filter, title);
  }
  std::vector<std::string> filters;
};

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

// A script written to the test's own temporary folder.
std::string WriteScript(const std::string& name, const std::string& text) {
  const fs::path folder = fs::path(::testing::TempDir()) / "gantry_materials_test";
  fs::create_directories(folder);
  const fs::path path = folder / name;
  std::ofstream(path, std::ios::binary) << text;
  return path.string();
}

TEST(Materials, AddNumbersFromTheCountAndRemoveKeepsTheOrder) {
  HodModel model = MakeDefaultModel();
  EXPECT_EQ(AddMaterial(model).select, 0u);
  EXPECT_EQ(model.Materials[0],
            (Material{{"NRML", 0, "STAT"}, 1001, 10, "Material_1", 7, "default", 0, {}}));
  EXPECT_EQ(AddMaterial(model).select, 1u);
  EXPECT_EQ(AddMaterial(model).select, 2u);
  EXPECT_EQ(model.Materials[2].Name, "Material_3");

  DebugLog log;
  testing::ScriptedUi ui;
  EXPECT_FALSE(RemoveMaterial(model, std::nullopt, log, ui).changed);
  EXPECT_FALSE(RemoveMaterial(model, 3, log, ui).changed);
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>(2, kSelectFirst));
  EXPECT_EQ(ui.messages[0].icon, Icon::Exclamation);

  EXPECT_TRUE(RemoveMaterial(model, 0, log, ui).changed);
  EXPECT_EQ(model.Materials[0].Name, "Material_2");
  EXPECT_EQ(model.Materials[1].Name, "Material_3");
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
  FileUi ui;
  ui.inputs = {"4"};
  AddParameter(model, 1, ui);

  // Either separator in the chosen path.
  std::string path = WriteScript("edge.st",
                                 "static Texture $diffuse\r\n"
                                 "   static Texture $glow   \r\n"
                                 "other text\r\n");
  std::replace(path.begin(), path.end(), '/', '\\');
  ui.files = {path};
  EXPECT_EQ(ChooseShader(model, 1, ui).select, 1u);
  EXPECT_EQ(ui.filters.back(), "Homeworld2 Shaders (*.st) |*.st|All Files (*.*) |*.*");
  const Material& m = model.Materials[1];
  EXPECT_EQ(m.ShaderName, "edge");
  EXPECT_EQ(m.ShaderLength, 4);
  EXPECT_EQ(m.ParameterCount, 2);
  EXPECT_EQ(m.Parameters, (std::vector<MaterialParameter>{{5, 4, {}, 0, 8, "$diffuse"},
                                                          {5, 4, {}, 0, 5, "$glow"}}));
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(model.Materials[0].ShaderName, "default");
}

TEST(Materials, ChoosingAShaderChangesNothingWithoutAReadableScript) {
  HodModel model = ModelWithMaterials(1);
  FileUi ui;
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

  const std::string missing = (fs::path(::testing::TempDir()) / "no_such_shader.st").string();
  const std::string folder = fs::path(WriteScript("x.st", "")).parent_path().string();
  ui.files = {missing, folder};
  EXPECT_FALSE(ChooseShader(model, 0, ui).changed);
  EXPECT_FALSE(ChooseShader(model, 0, ui).changed);
  ASSERT_EQ(ui.messages.size(), 3u);
  EXPECT_NE(ui.messages[1].text.find(missing), std::string::npos);
  EXPECT_EQ(model.Materials[0], before);
}

TEST(Materials, RealShaderScripts) {
  const char* env = std::getenv("GANTRY_CORPUS_DIR");
  const fs::path folder =
      fs::path(env != nullptr && *env != '\0' ? env : GANTRY_CORPUS_DIR) / "other";
  const struct {
    const char* file;
    std::vector<std::string> layers;
  } scripts[] = {
      {"Mephistofeles__hw2-shaders__ship.st", {"$diffuse", "$glow"}},
      {"tdmckenney0__slipstream-the-price-of-freedom__thruster.st",
       {"$diffuseOn", "$diffuseOff", "$glowOn", "$glowOff"}},
  };
  int found = 0;
  for (const auto& script : scripts) {
    const fs::path path = folder / script.file;
    if (!fs::is_regular_file(path)) continue;
    ++found;
    HodModel model = ModelWithMaterials(1);
    FileUi ui;
    ui.files = {path.string()};
    ChooseShader(model, 0, ui);
    EXPECT_EQ(model.Materials[0].ShaderName, path.stem().string());
    EXPECT_EQ(LayerNames(model.Materials[0]), script.layers) << script.file;
  }
  if (found == 0) GANTRY_CORPUS_ABSENT("no shader scripts in " << folder);
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
  const Material& m = model.Materials[0];
  EXPECT_EQ(m.ParameterCount, 3);
  // Any other number is a texture; its name question cancelled leaves it unnamed.
  EXPECT_EQ(m.Parameters, (std::vector<MaterialParameter>{{4, 16, {1, 1, 1, 1}, -1, 0, ""},
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

  EXPECT_FALSE(RemoveParameter(model, 0, std::nullopt).changed);
  EXPECT_FALSE(RemoveParameter(model, 0, 4).changed);
  EXPECT_TRUE(RemoveParameter(model, 0, 1).changed);
  EXPECT_EQ(m.ParameterCount, 3);
  EXPECT_EQ(ParameterEntries(m), (std::vector<ParameterEntry>{
                                     {"$diffuse", 0}, {"ColourParam2", 1}, {"UnnamedParam3", 2}}));
}

TEST(Materials, ColourBoxesHoldZeroTo255AndStoreOnlyValidNumbers) {
  MaterialParameter p;
  p.Type = 4;
  testing::ScriptedUi ui;
  const char* typed[] = {"255", "128", "0", "255"};
  for (std::size_t box = 0; box < 4; ++box) {
    EXPECT_EQ(LeaveColourBox(p, box, typed[box], ui), typed[box]);
  }
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(p.Colour, (ColourRGBA{1, 128 / 255.0f, 0, 1}));
  EXPECT_EQ(ColourBoxTexts(p.Colour), (std::array<std::string, 4>{"255", "128", "0", "255"}));

  const ColourRGBA before = p.Colour;
  const struct {
    const char* typed;
    const char* left;
    const char* message;
  } refused[] = {
      {"256", "255", "Value is out of range. Please enter a value between 0 to 255"},
      {"-1", "0", "Value is out of range. Please enter a value between 0 to 255"},
      {"abc", "0", "Please enter a number"},
      {"1.50", "1.5", "Please enter a number"},
      {"12x", "12", "Please enter a number"},
  };
  for (const auto& r : refused) {
    ui.messages.clear();
    EXPECT_EQ(LeaveColourBox(p, 1, r.typed, ui), r.left) << r.typed;
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{r.message}) << r.typed;
  }
  EXPECT_EQ(p.Colour, before);
}

TEST(Materials, ShowingAParameterWarnsOfAMissingTexture) {
  HodModel model = MakeDefaultModel();
  model.Textures.resize(2);
  testing::ScriptedUi ui;
  const ParameterView colour = ShowParameter(model, {4, 16, {1, 0.5f, 0, 1}, -1, 0, ""}, ui);
  EXPECT_TRUE(colour.colour);
  EXPECT_EQ(colour.colour_texts[1], "127.5");
  for (int index : {0, 1, 2, -1}) {
    const ParameterView view = ShowParameter(model, {5, 4, {}, index, 0, ""}, ui);
    EXPECT_FALSE(view.colour);
    EXPECT_EQ(view.texture_index, index);
  }
  EXPECT_EQ(ui.MessageTexts(),
            std::vector<std::string>(2, "Warning! Missing Texture link detected. Please fix."));
}

TEST(Materials, NameBoxStoresAtOnceAndIsMadeUniqueWhenLeft) {
  HodModel model = ModelWithMaterials(3);
  testing::ScriptedUi ui;
  EXPECT_EQ(TypeMaterialName(model, std::nullopt, "x", ui), "Object Name");
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{kSelectFirst});

  EXPECT_EQ(TypeMaterialName(model, 0, "Material_3", ui), "Material_3");
  EXPECT_EQ(model.Materials[0].Name, "Material_3");
  EXPECT_EQ(LeaveMaterialName(model, 0, ui), "Material_4");
  EXPECT_EQ(model.Materials[0].Name, "Material_4");
  EXPECT_EQ(model.Materials[0].NameLength, 10);
  EXPECT_EQ(ui.messages.back().text, "Name is not unique!\r\nName clash with object number: 3");
}

TEST(Materials, NewMaterialsAndParametersKeepTheModelWritable) {
  HodModel model = ModelWithMaterials(3);
  testing::ScriptedUi ui;
  ui.inputs = {"4", "5", "$diffuse", "5", std::nullopt};
  for (int i = 0; i < 3; ++i) AddParameter(model, 1, ui);
  LeaveColourBox(model.Materials[1].Parameters[0], 2, "64", ui);
  ui.files = {WriteScript("writable.st", "static Texture $glow\n")};
  ChooseShader(model, 2, ui);
  DebugLog log;
  RemoveMaterial(model, 0, log, ui);

  ASSERT_TRUE(ComputeLengths(model));
  std::vector<std::uint8_t> bytes;
  std::string error;
  ASSERT_TRUE(EncodeHod(model, bytes, &error)) << error;
  testing::HodRead read(bytes);
  EXPECT_TRUE(testing::Clean(read));
  // A colour parameter's texture index (-1 when new) is not in the file; the diff knows that.
  EXPECT_EQ(DiffModels(model, read.model), std::vector<std::string>{});
  EXPECT_EQ(read.model.Materials.size(), 2u);
}

TEST(Materials, ParametersStopAtWhatAHodCanHold) {
  HodModel model = ModelWithMaterials(1);
  std::string script;
  for (int i = 0; i < 300; ++i) script += "static Texture $t" + std::to_string(i) + "\n";
  FileUi ui;
  ui.files = {WriteScript("many.st", script)};
  ChooseShader(model, 0, ui);
  EXPECT_EQ(model.Materials[0].ParameterCount, 254);
  EXPECT_EQ(ui.messages.size(), 1u);

  ui.inputs = {"4"};
  EXPECT_FALSE(AddParameter(model, 0, ui).changed);
  EXPECT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.prompts.size(), 1u);  // the dialog only; no type question
}

}  // namespace
}  // namespace gantry
