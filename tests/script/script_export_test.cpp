#include "script/script_export.h"

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "common/version.h"
#include "geometry/rotations.h"
#include "hod/reset.h"
#include "script/script_import.h"
#include "support/scripted_ui.h"
#include "support/temp_folder.h"

namespace gantry {
namespace {

namespace fs = std::filesystem;

const std::tm kWhen = [] {  // 7 March 2024, 09:05:01
  std::tm when{};
  std::tie(when.tm_year, when.tm_mon, when.tm_mday, when.tm_hour, when.tm_min, when.tm_sec) =
      std::tuple(124, 2, 7, 9, 5, 1);
  return when;
}();
std::tm FixedTime() { return kWhen; }

// The lines of a text that must end every line in CR LF.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t at; (at = text.find("\r\n", start)) != std::string::npos; start = at + 2) {
    lines.push_back(text.substr(start, at - start));
  }
  EXPECT_EQ(start, text.size()) << "text does not end in CR LF";
  return lines;
}

// Counts are left at 0: the script counts the lists.
HodModel SmallModel() {
  constexpr float kPi = kPiSingle;
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  HodModel model;
  model.Materials.resize(2);
  model.Materials[0].Name = "hull", model.Materials[0].ShaderName = "ship";
  model.Materials[0].Parameters = {{5, 0, {}, 0, 0, "diffuse"},
                                   {4, 0, {1, 0.5f, 0.25f, 1 / 3.0f}, -1, 0, ""}};
  model.Materials[1].Name = "glass", model.Materials[1].ShaderName = "plain";
  const Vector3 root_turns{kPi / 2, -kPi / 2, 4 * kPi};
  model.JointList.Joints = {
      {0, "Root", 0, "", {0, 1 / 3.0f, -2}, root_turns, {1, 1, 1}, {0, 0, 1}, {1, 0, 1}},
      {0, "Engine", 0, "Root", {1e-5f, 1.23456789e8f, 0}, {nan, inf, -kPi}, {2, 2, 2}, {}, {}}};
  model.NavLightList.NavLights = {
      {0, "nav1", 2, 1.5f, 0.25f, 2, 0, "default", {1, 0, 0, 1}, 100, 1, 0}};

  model.Markers.resize(3);
  Marker& first = model.Markers[0];
  first.Name = "hp1";
  first.ParentName = "Root";
  first.Flags2 = 2.5f;
  first.Position = {1.0 / 3, -4, 1e20};
  first.Rotation = {0, kPi, 0};
  first.Tracks = {
      {{}, 0, 0, "pos", 0, {{0, 1.0 / 3, {1 / 3.0f, 0, 0, 0}}, {1.5, -2, {0, 0, 0, 1}}}, 1, 2},
      {{}, 0, 0, "rot", 0, {{2, 0.5, {}}}, 0, 0}};
  model.Markers[1].Name = "hp2";
  model.Markers[1].Tracks.resize(1);
  model.Markers[1].Tracks[0].Name = "empty";
  model.Markers[2].Name = "hp3";

  const std::vector<DockPoint> points = {
      {{1, 2, 3}, {}, 1, 10, 0, 500, 1, 0, 1, 0, 1, 0},
      {{0, 0, -50.125f}, {kPi / 2, 0, 0}, 0, 10, 0, 500, 0, 0, 0, 0, 0, 0}};
  model.DockPathList.Paths = {
      {0, "dock1", 0, "Root", 6, 10, 1, 0, 0, 0, "Fighter", 1, 0, "dock2", 0, points}};
  model.BoundaryVertices.Vertices = {{1, 2, 3}, {-1, -2, -3}};
  model.LightList.Lights = {
      {0, "key", 1, {10, 0, 0}, {1, 0.9f, 0.8f}, {0.5f, 0.5f, 0.5f}, 2, 1000.5f}};
  return model;
}

TEST(HodScriptText, SmallModelLineByLine) {
  const std::string text = HodScriptText(SmallModel(), "C:\\mods\\ship.hod", kWhen);
  const std::string separator = "// " + std::string(157, '-') + "//";
  const std::string version = fmt::format("// Gantry v{}.{}.{}", kProgramVersion.major_number,
                                          kProgramVersion.minor_number, kProgramVersion.revision);
  // clang-format off
  const std::vector<std::string> expected = {
      separator, "// HOD Script created from 'C:\\mods\\ship.hod'.", version,
      "// Date: 03-07-2024 Time: 09:05:01", separator,
      "", "// 2 materials located",
      "STAT_Add( 'hull', 'ship', 2 );  {",
      "\tSTAT_SetParamter( 1, 1, 5, 0, 0, 0, 0, 1, 'diffuse' );",
      "\tSTAT_SetParamter( 1, 2, 4, 1, 0.5, 0.25, 0.3333333, 0, '' ); }",
      "", "STAT_Add( 'glass', 'plain', 0 ); ",
      "", "// 2 joints located",
      "HIER_Add( 'Root', '', 0, 0.3333333, -2, 90, 270, 360, 1, 1, 1, 0, 0, 57.295777918682, 1, 0, "
      "1 );",
      "HIER_Add( 'Engine', 'Root', 1E-05, 1.234568E+08, 0, NaN, Inf, 180, 2, 2, 2, 0, 0, 0, 0, 0, "
      "0 );",
      "", "// 1 NavLights located",
      "NAVL_Add( 'nav1', 2, 1.5, 0.25, 2, 'default', 1, 0, 0, 1, 100, 1, 0 );",
      "", "// 3 Markers located",
      "MRKR_Add( 'hp1', 'Root', 0, 2.5, 0.333333333333333, -4, 1E+20, 0, 180, 0, 2 ); {",
      "\tANIM_Set( 1, 1, 'pos', 2, 1, 2 ); {",
      "\t\tKEYF_Set( 1, 1, 1, 0, 0.333333333333333, 0.3333333, 0, 0, 0 );",
      "\t\tKEYF_Set( 1, 1, 2, 1.5, -2, 0, 0, 0, 1 ); }",
      "\tANIM_Set( 1, 2, 'rot', 1, 0, 0 ); {", "\t\tKEYF_Set( 1, 2, 1, 2, 0.5, 0, 0, 0, 0 ); } }",
      "MRKR_Add( 'hp2', '', 0, 0, 0, 0, 0, 0, 0, 0, 1 ); {",
      "\tANIM_Set( 2, 1, 'empty', 0, 0, 0 );",
      "MRKR_Add( 'hp3', '', 0, 0, 0, 0, 0, 0, 0, 0, 0 );",
      "", "// 1 dockpaths located",
      "DOCK_Add( 'dock1', 'Root', 1, 0, 'Fighter', 1, 'dock2', 2 ); {",
      "\tDOCK_SetKeyframe( 1, 1, 1, 2, 3, 0, 0, 0, 1, 10, 0, 500, 1, 0, 1, 0, 1, 0 );",
      "\tDOCK_SetKeyframe( 1, 2, 0, 0, -50.125, 90, 0, 0, 0, 10, 0, 500, 0, 0, 0, 0, 0, 0 ); } ",
      "", "", "// 2 BNDVs located",
      "BNDV_SetNumVertices( 2 ); {", "\tBNDV_SetVertex( 1, 1, 2, 3 );",
      "\tBNDV_SetVertex( 2, -1, -2, -3 ); }",
      "", "// 1 lights located",
      "LITE_Add( 'key', 1, 10, 0, 0, 1, 0.9, 0.8, 0.5, 0.5, 0.5, 2, 1000.5); ",
      "", "// EOF"};
  // clang-format on
  EXPECT_EQ(Lines(text), expected);
}

TEST(HodScriptText, EmptySectionsKeepTheirCommentsAndTheVertexCount) {
  // clang-format off
  const std::vector<std::string> expected = {
      "", "// 0 materials located", "", "// 0 joints located", "", "// 0 NavLights located",
      "", "// 0 Markers located", "", "// 0 dockpaths located",
      "", "// 0 BNDVs located", "BNDV_SetNumVertices( 0 );", "", "// 0 lights located",
      "", "// EOF"};
  // clang-format on
  const std::vector<std::string> lines = Lines(HodScriptText(HodModel(), "x.hod", kWhen));
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 5, lines.end()),
            expected);  // after the header
}

// The text test above pins what each command line says; this pins where the import puts each
// value again. Neighbouring fields hold different values, so two of them swapped show.
TEST(HodScriptText, ReadBackPutsEachNavLightMarkerAndDockPointValueInItsField) {
  HodModel small = SmallModel();
  small.NavLightList.NavLights[0].Colour = {1, 0.5f, 0.25f, 0.75f};
  DockPoint& point = small.DockPathList.Paths[0].Points[0];
  std::tie(point.PointTolerance, point.MaxSpeed, point.PointValue8) = std::tuple(12.5f, 400, 1);
  small.Markers[0].Flags1 = 1.25f;
  const testing::TempFolder folder;
  HodModel model = MakeDefaultModel();
  ScriptImportContext context;
  context.batch = true;
  testing::ScriptedUi ui;
  const std::string path = folder.Write("small.hsc", HodScriptText(small, "small.hod", kWhen));
  ASSERT_TRUE(ImportHodScript(model, path, context, ui).read);

  NavLight light = small.NavLightList.NavLights[0];
  const NavLight& read = model.NavLightList.NavLights.at(0);
  std::tie(light.NameLength, light.StyleLength) = std::tuple(read.NameLength, read.StyleLength);
  EXPECT_EQ(read, light);
  for (std::size_t i = 0; i < small.Markers.size(); ++i) {
    const Marker& want = small.Markers[i];
    const Marker& got = model.Markers.at(i);
    EXPECT_EQ(std::tuple(got.Name, got.ParentName, got.Flags1, got.Flags2),
              std::tuple(want.Name, want.ParentName, want.Flags1, want.Flags2));
    for (int k = 0; k < 3; ++k) {
      EXPECT_NEAR(got.Position[k], want.Position[k],
                  1e-12 * std::max(1.0, std::abs(want.Position[k])));
      EXPECT_NEAR(got.Rotation[k], want.Rotation[k], 1e-6);
    }
  }
  const std::vector<DockPoint>& points = model.DockPathList.Paths.at(0).Points;
  ASSERT_EQ(points.size(), 2u);
  for (std::size_t i = 0; i < points.size(); ++i) {
    DockPoint want = small.DockPathList.Paths[0].Points[i];
    const Vector3& turned = points[i].Rotation;
    EXPECT_NEAR(turned.x, want.Rotation.x, 1e-6);
    EXPECT_NEAR(turned.y, want.Rotation.y, 1e-6);
    EXPECT_NEAR(turned.z, want.Rotation.z, 1e-6);
    want.Rotation = points[i].Rotation;
    EXPECT_EQ(points[i], want) << "point " << i;
  }
}

class ExportHodScript : public ::testing::Test {
 protected:
  void SetUp() override {
    workspace.model = SmallModel();
    workspace.working_folder = folder.path().string();
  }
  const testing::TempFolder folder;
  Workspace workspace;
  testing::ScriptedUi ui;
};

TEST_F(ExportHodScript, NamesTheScriptAfterTheCurrentFileOrSaysItCannotWrite) {
  // Cancelled and empty answers end quietly; a name given is kept, but not its folder.
  ui.inputs = {std::nullopt, "", "elsewhere\\Untitled.HOD"};
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(ExportHodScriptCommand(workspace, ui, FixedTime));
  EXPECT_EQ(workspace.current_file, "elsewhere\\Untitled.HOD");
  folder.Write("ship.v2.hsc", "old");
  for (const char* current : {"mods/hull.hod", "noext", "C:\\mods\\ship.v2.HOD"}) {
    workspace.current_file = current;
    EXPECT_TRUE(ExportHodScriptCommand(workspace, ui, FixedTime));
  }

  std::set<std::string> files;
  for (const auto& entry : fs::directory_iterator(folder.path())) {
    files.insert(entry.path().filename().string());
  }
  EXPECT_EQ(files, (std::set<std::string>{"Untitled.hsc", "hull.hsc", "noext.hsc", "ship.v2.hsc"}));
  EXPECT_EQ(Lines(testing::FileText(folder.path() / "Untitled.hsc"))[1],
            "// HOD Script created from 'elsewhere\\Untitled.HOD'.");
  EXPECT_EQ(testing::FileText(folder.path() / "ship.v2.hsc"),
            HodScriptText(workspace.model, workspace.current_file, kWhen));
  EXPECT_EQ(ui.prompts, std::vector<std::string>(3,
                                                 "Please enter a filename (and path for HOD)\r\n"
                                                 "(Entering nothing will exit)"));
  EXPECT_TRUE(ui.messages.empty());

  workspace.working_folder = (folder.path() / "missing").string();  // cannot be written
  EXPECT_FALSE(ExportHodScriptCommand(workspace, ui, FixedTime));
  EXPECT_EQ(std::tuple(ui.MessageTexts(), ui.messages.at(0).icon),
            std::tuple(std::vector<std::string>{"HSC Export failed!"}, Icon::Critical));
  EXPECT_EQ(workspace.log.messages().at(0).rfind("Couldn't write file: ", 0), 0u);
}

// A joint named "Bob's" or "Gun(1)" makes a line the import cannot read: the export says so
// rather than let the joints be lost without a word.
TEST_F(ExportHodScript, NamesTheGrammarCannotCarryAreWarnedAbout) {
  // (Names the grammar carries export without a word: the test above.)
  workspace.current_file = "ship.hod";
  EXPECT_TRUE(LinesScriptsCannotCarry(HodScriptText(workspace.model, "ship.hod", kWhen)).empty());

  Joint joint = workspace.model.JointList.Joints.back();
  for (const char* name : {"Bob's", "Gun(1)", "two\nlines"}) {
    joint.Name = name;
    workspace.model.JointList.Joints.push_back(joint);
  }
  workspace.model.JointList.JointCount += 3;
  const std::string text = HodScriptText(workspace.model, "ship.hod", kWhen);
  const std::vector<std::size_t> lost = LinesScriptsCannotCarry(text);
  ASSERT_EQ(lost.size(), 4u);  // the line break makes two lines of one
  EXPECT_NE(Lines(text).at(lost[0] - 1).find("Bob's"), std::string::npos);
  EXPECT_TRUE(ExportHodScriptCommand(workspace, ui, FixedTime));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_TRUE(ui.messages[0].text.starts_with("4 line(s) of the script hold a name"));
  EXPECT_EQ(ui.messages[0].icon, Icon::Exclamation);
}

}  // namespace
}  // namespace gantry
