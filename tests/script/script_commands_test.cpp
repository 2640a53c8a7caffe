// HOD scripts: the grammar, reading a script file, each command's rules, and whole models built
// by scripts (the demo ship of samples/demo among them) that validate, save and read back.
#include "script/script_commands.h"

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <numbers>
#include <string>
#include <tuple>
#include <vector>

#include "commands/transforms.h"
#include "geometry/vectors.h"
#include "hod/model_counts.h"
#include "hod/reset.h"
#include "hod/validate.h"
#include "interchange/text_rewrite.h"
#include "interchange/texture_decode.h"
#include "script/script_import.h"
#include "support/read_back.h"
#include "support/scripted_ui.h"
#include "support/temp_folder.h"

namespace gantry::testing {
namespace {

namespace fs = std::filesystem;

// Lines match by name in any case and by argument count; canonical form, arguments, numbers,
// rounding and the script's folder.
TEST(ScriptGrammar, LinesAndTheirPieces) {
  using enum ScriptCommand;
  const std::pair<const char*, ScriptCommand> matched[] = {
      {"stat_add('a','b',0)", kMaterialAdd},
      {"STAT_Add('a','b',0); // left arm", kMaterialAdd},
      {"STAT_Add('a, b','c',0)", kMaterialAdd},
      {"  STAT_Add('a','b',0)", kMaterialAdd},
      {"LMIP_Add()", kTextureAdd},
      {"STAT_SetParamter(1,1,4,0,0,0,0,0,'x')", kMaterialSetParameter},
  };
  for (const auto& [line, command] : matched) EXPECT_EQ(MatchScriptLine(line), command) << line;
  for (const char* line :
       {"STAT_Add( 'a', 'b', 1, 2 );", "STAT_Add('a','b',0); // don't", "//STAT_Add('a','b',0)",
        "STAT_Add('a)','b',0)", "STAT_Add(('a'),'b',0)", "(STAT_Add('a','b',0)",
        "STAT_Add('a','b',0", "HOD__ImportScale(1,2)", "STAT_SetParameter(1,1,4,0,0,0,0,0,'x')"}) {
    EXPECT_EQ(MatchScriptLine(line), std::nullopt) << line;
  }

  const std::pair<const char*, const char*> lines[] = {
      {"STAT_Add ( 'hull' , \t'ship', 2 ); // c", "STAT_Add(\"hull\",\"ship\",2)"},
      {"  HIER_Add( 'a b' ,\"c\t\")  ", "HIER_Add(\"a b\",\"c\t\")"},
      {"\tLMIP_Add(x) 'q' , ", "LMIP_Add(x)\"q\","},
  };
  for (const auto& [line, canonical] : lines) EXPECT_EQ(CanonicalScriptLine(line), canonical);
  EXPECT_EQ(SplitScriptArguments("'hull, left', \"b\",2"),
            (std::vector<std::string>{"hull, left", " b", "2"}));
  EXPECT_EQ(ScriptArgumentText("X( a ) b )"), " a ");
  EXPECT_EQ(ScriptText("  a b  "), "a b");

  const std::pair<const char*, double> numbers[] = {
      {" 1 2.5", 12.5}, {"3.5cm", 3.5}, {"abc", 0},     {"-1e2x", -100},
      {"1,5", 1},       {".5", 0.5},    {"\t-\t2", -2},
  };
  for (const auto& [piece, value] : numbers) EXPECT_EQ(ScriptNumber(piece), value) << piece;

  // Halves to even.
  for (const auto& [value, whole] :
       {std::pair{2.5, 2}, {3.5, 4}, {-2.5, -2}, {-0.5, 0}, {2.6, 3}, {1e12, 2147483647}}) {
    EXPECT_EQ(RoundedWhole(value), whole) << value;
  }
  EXPECT_EQ(TruncatedWhole(-2.7), -2);
  EXPECT_EQ(ScriptSingle(1e300), std::numeric_limits<float>::max());

  const std::pair<const char*, const char*> folders[] = {
      {"C:\\mods\\ship.hsc", "C:\\mods"}, {"/tmp/x/ship.hsc", "/tmp/x"}, {"a\\b/c.hsc", "a"},
      {"ship.hsc", "ship.hsc"},           {"\\ship.hsc", "\\ship.hsc"},
  };
  for (const auto& [path, folder] : folders) EXPECT_EQ(ScriptFolderOf(path), folder) << path;
}

class ScriptImportTest : public ::testing::Test {
 protected:
  std::string Contents(const std::string& path) { return *ReadTextFile(path, nullptr); }

  TempFolder folder_;
  const fs::path& dir_ = folder_.path();
  HodModel model_ = MakeDefaultModel();
  ScriptImportContext context_;
  ScriptedUi ui_;
};

TEST_F(ScriptImportTest, ScriptIsRewrittenAndRunWithAFreshScaleUnlessEmptyOrMissing) {
  const std::string path = folder_.Write(
      "ship.hsc", "// joints\n\nHIER_Add('Hull','Root',1,1,1,0,0,0,1,1,1,0,0,0,0,0,0)\n");
  context_.ImportScale = {5, 5, 5};
  const ScriptImportResult result = ImportHodScript(model_, path, context_, ui_);
  EXPECT_EQ(Contents(path),
            "// joints\r\nHIER_Add('Hull','Root',1,1,1,0,0,0,1,1,1,0,0,0,0,0,0)\r\n");
  EXPECT_EQ(std::tuple(result.read, result.changed, result.lines, result.commands,
                       model_.JointList.Joints.at(1).Position, context_.ScriptFolder,
                       ui_.messages.size()),
            std::tuple(true, true, 2u, 1u, Vector3{1, 1, 1}, dir_.string(), 0u));

  // Empty and missing scripts change nothing; each is said once (TextRewriteTest checks what).
  const HodModel before = model_;
  EXPECT_TRUE(ImportHodScript(model_, folder_.Write("e.hsc", ""), context_, ui_).read);
  EXPECT_FALSE(ImportHodScript(model_, (dir_ / "none.hsc").string(), context_, ui_).read);
  EXPECT_EQ(std::tuple(ui_.messages.size(), model_ == before), std::tuple(2u, true));
}

TEST_F(ScriptImportTest, BatchReadsAsIsAndNamesTheLineOfAFileItCannotLoad) {
  const std::string script = "\n// burn\nBURN_Add('b','Root','\\missing.obj')\n";
  const std::string path = folder_.Write("b.hsc", script);
  context_.batch = true;
  const ScriptImportResult result = ImportHodScript(model_, path, context_, ui_);
  EXPECT_EQ(Contents(path), script);
  // Named as the system names it, whatever separator the script used.
  const std::string missing = (dir_ / "missing.obj").string();
  EXPECT_EQ(result.file_failures, (std::vector<ScriptFileFailure>{{3, "BURN_Add", missing}}));
  EXPECT_EQ(std::tuple(result.messages.size(), result.messages.at(0).line, result.messages[0].text,
                       model_.EngineBurns.size()),
            std::tuple(1u, 3u,
                       "Could not read the file '" + missing + "': No such file or directory", 1u));
  // The burn added before the load stays, without the fields set after it.
  EXPECT_NE(model_.EngineBurns.at(0).Name, "b");
}

// The editor skips malformed lines without a word; the result names them for the command line
// and the log, apart from blank lines, comments and lone braces.
TEST_F(ScriptImportTest, MalformedLinesAreSkippedSilentlyButListed) {
  const std::string script =
      "NAVL_Add(\n)(\nSTAT_Add('a','b')\nSTAT_Add('a','b',1,2)\nSTAT_Add('a,'b',1)\n"
      "MULT_Add('a','b',0,1) // it's\nHIER_Add\nstat add('a','b',1)\n,,,,\n\"\"\"\n"
      "MRKR_Add'(x)'\nLMIP_Add((x))\n\x01\xff(\t)\n \t\n  // note\n{\n\t} \n";
  const ScriptImportResult result = RunHodScript(model_, script, context_, ui_);
  EXPECT_EQ(std::tuple(result.commands, ui_.messages.size()), std::tuple(0u, 0u));
  EXPECT_EQ(model_, MakeDefaultModel());
  EXPECT_EQ(result.unmatched_lines,
            (std::vector<std::size_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}));
}

// A UTF-8 byte order mark is no part of the first command. Notepad's "Unicode" is UTF-16 with a
// mark, either byte order; a character no single byte holds refuses the script rather than
// building from a part of it.
TEST_F(ScriptImportTest, MarkedAndUtf16ScriptsAreReadOrRefusedClearly) {
  const auto utf16 = [](std::u16string_view text, bool little) {
    std::string bytes = little ? "\xFF\xFE" : "\xFE\xFF";
    for (const char16_t c : text) {
      const char low = static_cast<char>(c & 0xFF), high = static_cast<char>(c >> 8);
      bytes += little ? std::string{low, high} : std::string{high, low};
    }
    return bytes;
  };
  const std::u16string_view text = u"STAT_Add('a\u00e9','s',0)\r\nSTAT_Add('b','s',0)\r\n";
  context_.batch = true;
  for (const std::string& bytes :
       {std::string("\xEF\xBB\xBFSTAT_Add('a\xe9','s',0)\r\nSTAT_Add('b','s',0)\r\n"),
        utf16(text, true), utf16(text, false)}) {
    HodModel model = MakeDefaultModel();
    const ScriptImportResult result =
        ImportHodScript(model, folder_.Write("u.hsc", bytes), context_, ui_);
    EXPECT_EQ(std::tuple(result.commands, model.Materials.size(), model.Materials.at(0).Name),
              std::tuple(2u, 2u, "a\xe9"));
  }
  context_.batch = false;  // the editor's import must not rewrite it either
  const std::string path = folder_.Write("w.hsc", utf16(u"STAT_Add('\u20ac','s',0)\r\n", true));
  const ScriptImportResult wide = ImportHodScript(model_, path, context_, ui_);
  EXPECT_FALSE(wide.read);
  EXPECT_EQ(model_, MakeDefaultModel());
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_NE(ui_.messages[0].text.find("UTF-16"), std::string::npos);
  EXPECT_EQ(Contents(path), utf16(u"STAT_Add('\u20ac','s',0)\r\n", true));
}

constexpr double kPi = std::numbers::pi;

constexpr const char* kQuad =
    "v 0 0 0\nv 2 0 0\nv 2 3 0\nv 0 3 0\nvt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nvn 0 0 1\n"
    "usemtl hull\nf 1/1/1 2/2/1 3/3/1 4/4/1\n";

// Scripts run as a batch from the folder, which holds a quad.
class ScriptCommandsTest : public ScriptImportTest {
 protected:
  void SetUp() override {
    folder_.Write("quad.obj", kQuad);
    context_.ScriptFolder = dir_.string();
    context_.batch = true;
  }

  ScriptImportResult Run(const std::string& script) {
    return RunHodScript(model_, script, context_, ui_);
  }
};

TEST_F(ScriptCommandsTest, MaterialParameterTypesTexturesAndIndexes) {
  const struct {
    const char *parameter, *type, *texture;
    int changed;  // 0-based parameter, -1 for none
    std::int32_t type_out, size, index;
  } cases[] = {
      {"1", "4", "0", 0, 4, 16, -1}, {"1", "4.5", "1", 0, 5, 4, 0}, {"2", "5", "-5", 1, 5, 4, -1},
      {"1.5", "5", "3", 1, 5, 4, 2}, {"3", "4", "1", -1, 0, 0, 0},  {"0.5", "4", "1", -1, 0, 0, 0},
  };
  for (const auto& c : cases) {
    model_ = MakeDefaultModel();
    Run(std::string("STAT_Add('m','s',2)\nSTAT_SetParamter(1,") + c.parameter + "," + c.type +
        ",.1,.2,.3,.4," + c.texture + ",'$diffuse')");
    std::vector<MaterialParameter> expected(2);
    if (c.changed >= 0) {
      expected[c.changed] = {c.type_out, c.size, {.1f, .2f, .3f, .4f}, c.index, 8, "$diffuse"};
    }
    EXPECT_EQ(model_.Materials.at(0).Parameters, expected)
        << c.parameter << " " << c.type << " " << c.texture;
  }
}

// A count past what a HOD holds is cut there, and the line reported as refused: a build must not
// write a model other than the one asked for.
TEST_F(ScriptCommandsTest, CountsAreRoundedTruncatedAndKeptInRange) {
  // The count (or type, or section) the line's command sets.
  const auto count = [](const HodModel& m, std::string_view line) -> std::size_t {
    if (line.starts_with("DOCK")) return m.DockPathList.Paths.at(0).Points.size();
    if (line.starts_with("LITE")) return static_cast<std::size_t>(m.LightList.Lights.at(0).Type);
    if (line.starts_with("BNDV")) return m.BoundaryVertices.Vertices.size();
    if (line.starts_with("STAT")) return m.Materials.at(0).Parameters.size();
    if (line.starts_with("MULT")) return m.Meshes.at(0).Lods.size();
    if (line.starts_with("MRKR")) return m.Markers.at(0).Tracks.size();
    return static_cast<std::size_t>(m.NavLightList.NavLights.at(0).Section);
  };
  const struct {
    const char* line;
    std::size_t expected;
    bool refused = false;
  } cases[] = {
      {"DOCK_Add('d','p',0,0,'',0,'',0)", 2},
      {"DOCK_Add('d','p',0,0,'',0,'',2.5)", 2},
      {"DOCK_Add('d','p',0,0,'',0,'',3.5)", 4},
      {"DOCK_Add('d','p',0,0,'',0,'',32767)", 32767},
      {"DOCK_Add('d','p',0,0,'',0,'',1e9)", 32767, true},
      {"LITE_Add('l',9,0,0,0,1,1,1,1,1,1,0,0)", 5},
      {"LITE_Add('l',-2,0,0,0,1,1,1,1,1,1,0,0)", 0},
      {"BNDV_SetNumVertices(1)", 2},
      {"BNDV_SetNumVertices(1e300)", 65535, true},
      {"STAT_Add('a','b',300)", 254, true},
      {"STAT_Add('a','b',-3)", 0},
      {"MULT_Add('m','Root',0,40000)", 32767, true},
      {"MRKR_Add('k','Root',1,0,0,0,0,0,0,0,40000)", 32767, true},
      {"NAVL_Add('n',2.9,1,0,1,'default',1,1,1,1,100,1,0)", 2},
  };
  for (const auto& c : cases) {
    model_ = MakeDefaultModel();
    const ScriptImportResult result = Run(c.line);
    EXPECT_EQ(count(model_, c.line), c.expected) << c.line;
    EXPECT_EQ(result.refused_lines.size(), c.refused ? 1u : 0u) << c.line;
  }
  const ScriptImportResult cut = Run("STAT_Add('a','b',300)");
  ASSERT_EQ(cut.messages.size(), 1u);
  EXPECT_EQ(cut.messages[0].text,
            "STAT_Add asks for 300 entries; a HOD holds at most 254, so the list was cut there.");
}

TEST_F(ScriptCommandsTest, RootFillsTheDefaultJointAndAnglesAreNormalised) {
  Run("HOD__ImportScale(2,2,2)\nHIER_Add('ROOT','',1,2,3,90,-90,450,1,1,1,0,0,-90,0,1,0)");
  ASSERT_EQ(model_.JointList.Joints.size(), 1u);
  const Joint& root = model_.JointList.Joints[0];
  EXPECT_EQ(std::tuple(model_.JointList.JointCount, root.Name, root.Position, root.Freedom),
            std::tuple(1, "ROOT", Vector3{2, 4, 6}, std::array<std::uint8_t, 3>{0, 1, 0}));
  const Vector3& turn = root.Rotation;
  EXPECT_LT(Distance3D(turn.x, turn.y, turn.z, kPi / 2, 3 * kPi / 2, kPi / 2), 1e-6);
  EXPECT_NEAR(root.Axis.z, 3 * kPi / 2, 1e-6);
  Run("hier_add('Hull','ROOT',0,0,0,0,0,0,1,1,1,0,0,0,0,0,0)");
  EXPECT_EQ(model_.JointList.JointCount, 2);
}

TEST_F(ScriptCommandsTest, TracksAndKeysNeedTheirMarkerAnimatedAndTheirIndexesInRange) {
  Run("MRKR_Add('still','Root',0,0,0,0,0,0,0,0,3)\nANIM_Set(1,1,'t',2,0,0)\n"
      "MRKR_Add('moving','Root',0,1,0,0,0,0,0,0,2.9)\nANIM_Set(2,2,'t',3,1,2)\n"
      "KEYF_Set(2,2,3,1.5,2.5,1,2,3,4)\nKEYF_Set(2,2,4,9,9,9,9,9,9)\nKEYF_Set(2,1,1,9,9,9,9,9,9)\n"
      "BNDV_SetVertex(1,1,1,1)\nBNDV_SetVertex(4,4,4,4)\nBNDV_SetNumVertices(4)\n"
      "BNDV_SetVertex(5,5,5,5)");
  EXPECT_EQ(std::tuple(model_.Markers.at(0).Tracks.size(), model_.Markers[0].KeyfLength),
            std::tuple(0u, 4));
  const auto& tracks = model_.Markers.at(1).Tracks;
  ASSERT_EQ(tracks.size(), 2u);
  EXPECT_EQ(std::tuple(tracks[0], tracks[1].ID, tracks[1].PostI, tracks[1].Keys),
            std::tuple(KeyframeTrack{}, Tag("ANIM"), 2,
                       std::vector<Keyframe>{{}, {}, {1.5, 2.5, {1, 2, 3, 4}}}));
  EXPECT_EQ(model_.BoundaryVertices.Vertices,
            (std::vector<Vector3>{{1, 1, 1}, {0, 0, 0}, {0, 0, 0}, {4, 4, 4}}));
}

TEST_F(ScriptCommandsTest, MeshLevelsLoadScaledAndRebuildTheirOwnScarMesh) {
  Run("MULT_Add('hull, left','Root',0,1)\nMULT_SetLoD(1,1,'\\quad.obj')");
  const MultiMesh& cut = model_.Meshes.at(0);  // the comma cuts the quoted name
  EXPECT_EQ(std::tuple(cut.Name, cut.ParentName, cut.LodCount), std::tuple("hull", "left", 0));

  Run("MULT_Add('a','Root',0,1)\nMULT_SetLoD(2,1,'\\quad.obj')\nMULT_SetLoD(2,0,'\\quad.obj')\n"
      "HOD__ImportScale(2,1,-1)\nMULT_Add('b','Root',1,1)\nMULT_SetLoD(3,0,'\\quad.obj')");
  const LodMesh& plain = model_.Meshes.at(1).Lods.at(0);
  const LodMesh& scaled = model_.Meshes.at(2).Lods.at(0);
  ASSERT_EQ(std::tuple(plain.Parts.size(), plain.Parts[0].Vertices.size()), std::tuple(1u, 4u));
  for (std::size_t i = 0; i < 4; ++i) {
    const Vector4& p = plain.Parts[0].Vertices[i].Position;
    EXPECT_EQ(scaled.Parts.at(0).Vertices.at(i).Position, (Vector4{2 * p.x, p.y, -p.z, p.w}));
  }
  EXPECT_EQ(std::tuple(model_.Meshes[2].ID, model_.ScarMeshes.at(1).Triangles.Vertices.size(),
                       model_.ScarMeshes.at(2).Description.Name),
            std::tuple(Tag("GOBG"), 4u, "b"));

  // A batch import asks nothing: the script's factor alone enlarges the boundary.
  ui_.answers = {Answer::Yes};
  Run("BNDV_AutoCalc(2)");
  EXPECT_EQ(model_.BoundaryVertices.Vertices.at(6), (Vector3{8, 6, 0}));
  EXPECT_EQ(ui_.answers.size(), 1u);

  // A HOD 2.0 model has scar meshes for some meshes only, each under its mesh's name: replacing
  // a level 0 rebuilds that mesh's scar mesh, never the one at the same position; moving a mesh
  // moves its own.
  model_ = MakeDefaultModel();
  Run("MULT_Add('a','Root',0,1)\nMULT_Add('b','Root',0,1)");
  ASSERT_EQ(model_.ScarMeshes.size(), 2u);
  model_.Dialect = HodDialect::Hod2;
  model_.ScarMeshes.erase(model_.ScarMeshes.begin());  // 'a' has none; 'b' is the first
  Run("MULT_SetLoD(1,0,'\\quad.obj')");
  ASSERT_EQ(model_.ScarMeshes.size(), 1u);
  EXPECT_TRUE(model_.ScarMeshes[0].Triangles.Vertices.empty());
  Run("MULT_SetLoD(2,0,'\\quad.obj')");
  EXPECT_EQ(model_.ScarMeshes[0].Triangles.Vertices.size(), 4u);

  const std::vector<Vector3> before = model_.ScarMeshes[0].Triangles.Vertices;
  TranslateMesh(model_, 0, {1, 2, 3});
  EXPECT_EQ(model_.ScarMeshes[0].Triangles.Vertices, before);
  TranslateMesh(model_, 1, {1, 2, 3});
  EXPECT_EQ(model_.ScarMeshes[0].Triangles.Vertices[0].z, before[0].z + 3);
}

// Validated (without a word, if `quietly`), written and read back, the model has every field it
// had.
::testing::AssertionResult SavesAndReadsBack(HodModel& model, bool quietly = false) {
  ScriptedUi ui;
  if (!ValidateHod(model, ui).valid || (quietly && !ui.messages.empty())) {
    return ::testing::AssertionFailure() << ::testing::PrintToString(ui.MessageTexts());
  }
  const std::vector<std::string> differences = ReadBackDifferences(model);
  if (!differences.empty()) {
    return ::testing::AssertionFailure() << ::testing::PrintToString(differences);
  }
  return ::testing::AssertionSuccess();
}

TEST_F(ScriptCommandsTest, CommandsThatWouldBuildMoreThanAHodHoldsAreRefused) {
  // 820 separate triangles make an engine shape of more than 32767 bytes.
  std::string big;
  for (int t = 0; t < 820; ++t) big += fmt::format("v {} 0 0\nv {} 1 0\nv {} 0 1\n", t, t, t);
  for (int t = 0; t < 820; ++t) big += fmt::format("f {} {} {}\n", 3 * t + 1, 3 * t + 2, 3 * t + 3);
  folder_.Write("big.obj", big);
  const ScriptImportResult shapes =
      Run("ETSH_Add('small','Root','\\quad.obj')\nETSH_Add('big','Root','\\big.obj')");
  EXPECT_EQ(std::tuple(model_.EngineShapes.size(), model_.EngineShapes.at(0).Name,
                       shapes.refused_lines, shapes.messages.size()),
            std::tuple(1u, "small", std::vector<std::size_t>{2}, 1u));
  EXPECT_EQ(shapes.messages.at(0).line, 2u);
  EXPECT_TRUE(shapes.messages[0].text.starts_with("The engine shape would take "));

  // Two materials of 36000 vertices each join into more than 16-bit indices can name: the scar
  // mesh MULT_SetLoD builds and COLD_Add's collision mesh are refused, not wrapped.
  std::string joined;
  for (int v = 0; v < 72000; ++v) joined += fmt::format("v {} {} 0\n", v / 36000, v % 36000);
  for (int m = 0; m < 2; ++m) {
    joined += fmt::format("usemtl m{}\n", m);
    for (int t = 0; t < 12000; ++t) {
      const int first = 36000 * m + 3 * t + 1;
      joined += fmt::format("f {} {} {}\n", first, first + 1, first + 2);
    }
  }
  folder_.Write("joined.obj", joined);
  HodModel large = MakeDefaultModel();
  const ScriptImportResult refused = RunHodScript(large,
                                                  "MULT_Add('hull','Root',0,1)\nMULT_SetLoD(1,0,'"
                                                  "\\joined.obj')\nCOLD_Add('Root','\\joined.obj')",
                                                  context_, ui_);
  EXPECT_EQ(std::tuple(refused.refused_lines, large.CollisionMeshes.size(),
                       large.Meshes.at(0).Lods.at(0) == LodMesh{},
                       large.ScarMeshes.at(0).Triangles.Vertices.size()),
            std::tuple(std::vector<std::size_t>{2, 3}, 0u, true, 0u));
  EXPECT_TRUE(refused.messages.at(0).text.starts_with("The mesh's parts join into 72000 vertices"));

  // Lights up to the last one a HOD holds, in a script of more lines than 16 bits count; the lines
  // past it are refused, and said so once. A HOD with lights keeps neither joints nor boundary
  // vertices on disk: lights on their own.
  std::string script = "LITE_Add('key',2,10,10,10,1,1,1,0.5,0.5,0.5,0,0)\n";
  for (int i = 2; i < 32767; ++i) {
    script +=
        fmt::format("// light {}\r\n// fill\nLITE_Add('f{}',1,0,0,0,.2,.2,.2,0,0,0,1,100)\n", i, i);
  }
  script +=
      "LITE_Add('last',2,0,0,0,1,1,1,1,1,1,0,0)\nLITE_Add('more',2,0,0,0,1,1,1,1,1,1,0,0)\n"
      "LITE_Add('more',2,0,0,0,1,1,1,1,1,1,0,0)";
  HodModel lights = MakeDefaultModel();
  const ScriptImportResult full = RunHodScript(lights, script, context_, ui_);
  EXPECT_EQ(
      std::tuple(full.lines, full.commands, lights.LightList.LightCount,
                 lights.LightList.Lights.back().Name, full.refused_lines, full.messages.size()),
      std::tuple(98299u, 32769u, 32767, "last", std::vector<std::size_t>{98298, 98299}, 1u));
  EXPECT_EQ(full.messages.at(0).text,
            "A HOD holds at most 32767 lights; the LITE_Add lines beyond them were skipped.");
  EXPECT_TRUE(SavesAndReadsBack(lights));
}

// The demo ship (DemoShip.BuildsValidatesAndReadsBackWithEveryPart) builds every other family.
TEST_F(ScriptCommandsTest, PicturesBuildAModelThatSavesAndReadsBack) {
  // A painter's picture, 24 x 12 and opaque: encoded as DXT1 at 32 x 16 with six levels.
  RgbaImage panel{24, 12, std::vector<std::uint8_t>(24 * 12 * 4, 255)};
  const std::vector<std::uint8_t> png = EncodePng(panel);
  folder_.Write("panel[3].png", std::string(png.begin(), png.end()));
  const ScriptImportResult result =
      Run("LMIP_Add('\\panel[3].png')\nSTAT_Add('glass','thruster',0)\nSTAT_Add('hull','ship',1)\n"
          "STAT_SetParamter(2,1,5,0,0,0,0,1,'$diffuse')\nMULT_Add('hull','Root',0,1)\n"
          "MULT_SetLoD(1,0,'\\quad.obj')\n");
  EXPECT_EQ(std::tuple(result.commands, result.file_failures.size(), result.selected_mesh),
            std::tuple(6u, 0u, std::optional<std::size_t>(0)));
  const Texture& texture = model_.Textures.at(0);
  EXPECT_EQ(std::tuple(texture.Format, texture.FileName, texture.MipCount),
            std::tuple(Tag("DXT1"), "panel[3]", 6));
  EXPECT_EQ(model_.Meshes.at(0).Lods.at(0).Parts.at(0).MaterialIndex, 1);  // "hull" by name
  EXPECT_TRUE(SavesAndReadsBack(model_, true));
}

// The demo ship of samples/demo, built into a new model as the command line builds it.
TEST(DemoShip, BuildsValidatesAndReadsBackWithEveryPart) {
  // Canonical: the script's folder ends at its last backslash, so a path mixing separators (as
  // one joined onto the fixtures folder does on Windows) would name the wrong folder.
  const fs::path script = fs::weakly_canonical(fs::path(GANTRY_FIXTURES_DIR) / ".." / ".." /
                                               "samples" / "demo" / "demo.hsc");
  HodModel model = MakeDefaultModel();  // multi-mesh; the NAME's length set as the build sets it
  model.HodName.Length = static_cast<std::int32_t>(model.HodName.TypeName.size()) + 4;
  ScriptImportContext context;
  context.batch = true;
  ScriptedUi ui;
  const ScriptImportResult result = ImportHodScript(model, script.string(), context, ui);
  EXPECT_EQ(std::tuple(result.read, result.file_failures.size(), result.messages.size()),
            std::tuple(true, 0u, 0u));
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
  EXPECT_TRUE(SavesAndReadsBack(model, true));
}

}  // namespace
}  // namespace gantry::testing
