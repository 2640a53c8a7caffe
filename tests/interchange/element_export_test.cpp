#include "interchange/element_export.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <tuple>

#include "commands/create.h"
#include "common/paths.h"
#include "common/safe_file.h"
#include "hod/hod_writer.h"
#include "hod/reset.h"
#include "interchange/dds.h"
#include "interchange/obj_export.h"
#include "support/model_parts.h"
#include "support/scripted_ui.h"
#include "support/temp_folder.h"

namespace gantry {
namespace {

namespace fs = std::filesystem;

const HeaderStamp kStamp{"2024-01-02", "03:04:05"};
HeaderStamp FixedStamp() { return kStamp; }

// The lines after the seven header lines, and the text's last two characters checked apart.
std::vector<std::string> Body(const std::string& text) {
  EXPECT_EQ(text.rfind(ObjCommentHeader("SOURCE", kStamp), 0), 0u);
  std::vector<std::string> lines;
  std::size_t start = ObjCommentHeader("SOURCE", kStamp).size();
  for (std::size_t at; (at = text.find("\r\n", start)) != std::string::npos; start = at + 2) {
    lines.push_back(text.substr(start, at - start));
  }
  EXPECT_EQ(start, text.size()) << "text does not end in CR LF";
  return lines;
}

CollisionMesh Collision() {
  CollisionMesh mesh;
  mesh.ParentName = "Hull";
  mesh.Triangles.Vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, -0.5f}};
  mesh.Triangles.Indices = {0, 1, 2, 2, 1, 3, 0};  // the trailing single index is ignored
  return mesh;
}

ScarMesh Scar() {
  ScarMesh mesh;
  mesh.Description.Name = "hull";
  mesh.Triangles.Vertices = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
  mesh.Triangles.Indices = {0, 1, -1};  // the lists hold unsigned numbers: 65535
  mesh.Normals.Vertices = {{0, 0, 1}};
  mesh.Normals.Indices = {0, 0, 0};
  return mesh;
}

EngineShape Shape() {
  EngineShape shape;
  shape.Name = "nozzle";
  shape.Outlines = {{3, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}},
                    {4, {{0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}}}};
  return shape;
}

TEST(ElementExportText, BodiesByKind) {
  EngineBurn burn;
  burn.Name = "flame";
  burn.Vertices = {{1, 2, 3}, {-4, 0.5f, 6}};
  const struct {
    std::string text;
    std::vector<std::string> body;
  } cases[] = {
      {CollisionMeshObjText(Collision(), "SOURCE", kStamp),
       {"# COLlision Mesh for joint: Hull", "g Hull_COLD", "v 0 0 0", "v 1 0 0", "v 0 1 0",
        "v 1 1 -0.5", "f 1// 2// 3//", "f 3// 2// 4//"}},
      {ScarMeshObjText(Scar(), "SOURCE", kStamp),
       {"# Object: hull", "g hull", "v 1 2 3", "v 4 5 6", "v 7 8 9", "vn 0 0 1",
        "f 1//1 2//1 65536//1"}},
      {EngineShapeObjText(Shape(), "SOURCE", kStamp),
       {"#  Engine Shape: nozzle", "v 0 0 0", "v 1 0 0", "v 0 1 0", "f 1 2 3", "v 0 0 1", "v 1 0 1",
        "v 1 1 1", "v 0 1 1", "f 4 5 6 7", ""}},
      {EngineBurnObjText(burn, "SOURCE", kStamp),
       {"#  Engine Burn: flame", "v 1 2 3", "v -4 0.5 6", ""}},
  };
  for (const auto& c : cases) EXPECT_EQ(Body(c.text), c.body) << c.text;
}

TEST(ElementExportFiles, AllCommandsNameTheirFilesAndHeaders) {
  const testing::TempFolder folder;
  const fs::path& dir = folder.path();
  Workspace workspace;
  workspace.SetCurrentFile((dir / "ship.hod").string());
  workspace.model.CollisionMeshes = {Collision()};
  workspace.model.ScarMeshes = {Scar()};
  workspace.model.EngineShapes = {Shape()};
  workspace.model.BackgroundMeshSet.Meshes.resize(2);
  testing::ScriptedUi ui;
  EXPECT_TRUE(ExportCollisionMeshesAll(workspace, ui, FixedStamp));
  EXPECT_TRUE(ExportScarMeshesAll(workspace, ui, FixedStamp));
  EXPECT_TRUE(ExportBackgroundMeshesAll(workspace, ui, FixedStamp));
  EXPECT_TRUE(ExportEngineShapeOBJ(workspace, 0, ui, FixedStamp));
  EXPECT_TRUE(ExportEngineBurnOBJ(workspace, 0, ui, FixedStamp));  // no burns: nothing
  EXPECT_TRUE(ExportCollisionMeshOBJ(workspace, std::nullopt, ui, FixedStamp));
  EXPECT_TRUE(ui.messages.empty());
  const auto first_line = [&](const char* name) {
    const std::string text = testing::FileText(dir / name);
    return text.substr(0, text.find('\n'));
  };
  const std::string full = "# Converted from '" + workspace.current_file + "'\r";
  EXPECT_EQ(
      std::tuple(first_line("Hull_COLD.obj"), first_line("hull_BSRM.obj"),
                 first_line("nozzle_ETSH.obj"), first_line("BGMS Part 2.obj"),
                 fs::exists(dir / "BGMS Part 1.obj"), folder.FileCount()),
      std::tuple("# Converted from 'ship'\r", "# Converted from 'ship'\r", full, full, true, 5u));
}

// A crafted HOD whose names climb out of the folder, name a device or hold characters Windows
// refuses: every export lands in the folder chosen for it, under a name that is one file.
TEST(ElementExportFiles, NamesFromTheModelNeverLeaveTheChosenFolder) {
  const testing::TempFolder folder;
  const fs::path& dir = folder.path();
  const fs::path out = dir / "a" / "b" / "out";
  fs::create_directories(out);
  testing::ScriptedUi ui;

  HodModel crafted = MakeDefaultModel();
  AddMesh(crafted);
  AddLod(crafted, 0, ui);
  const auto name = [](std::int32_t& length, std::string& text, std::string_view value) {
    text = value;
    length = static_cast<std::int32_t>(text.size());
  };
  MultiMesh& mesh = crafted.Meshes[0];
  name(mesh.NameLength, mesh.Name, "..\\..\\abc");
  ScarDescription& scar = crafted.ScarMeshes[0].Description;
  name(scar.NameLength, scar.Name, "../../scar");
  AddCollisionMesh(crafted);
  name(crafted.CollisionMeshes[0].ParentLength, crafted.CollisionMeshes[0].ParentName, "..");
  AddEngineShape(crafted);
  name(crafted.EngineShapes[0].NameLength, crafted.EngineShapes[0].Name,
       "a:b*?\"<>|\x01"
       "c ");
  AddEngineBurn(crafted);
  name(crafted.EngineBurns[0].NameLength, crafted.EngineBurns[0].Name, "LPT1");
  crafted.Textures = {testing::SampleTexture("..\\..\\CON", "DXT1", 4, 4)};
  std::vector<std::uint8_t> bytes;
  std::string error;
  ASSERT_TRUE(ComputeLengths(crafted, &error) && WriteHod(crafted, bytes, &error)) << error;
  const std::string hod = PathText(dir / "a" / "b" / "ship.hod");
  ASSERT_FALSE(WriteFileSafely(hod, bytes));

  Workspace workspace;
  ASSERT_TRUE(workspace.Open(hod, ui).completed);
  workspace.working_folder = PathText(out);
  ASSERT_EQ(workspace.model.Meshes.at(0).Name, "..\\..\\abc");
  EXPECT_TRUE(WriteMultiMeshOBJ(workspace, 0, false, ui, FixedStamp));
  EXPECT_TRUE(ExportCollisionMeshesAll(workspace, ui, FixedStamp));
  EXPECT_TRUE(ExportScarMeshesAll(workspace, ui, FixedStamp));
  EXPECT_TRUE(ExportEngineShapeOBJ(workspace, 0, ui, FixedStamp));
  EXPECT_TRUE(ExportEngineBurnOBJ(workspace, 0, ui, FixedStamp));
  EXPECT_TRUE(ExportDDSTexture(workspace.model.Textures.at(0), "", workspace.working_folder, ui));
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{});

  std::set<std::string> written;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    if (!entry.is_regular_file() || entry.path() == FileSystemPath(hod)) continue;
    EXPECT_EQ(entry.path().parent_path(), out) << entry.path();
    written.insert(PathText(entry.path().filename()));
  }
  written.erase("debug.log");
  EXPECT_EQ(written,
            (std::set<std::string>{".._.._abc_LOD0.obj", ".._.._scar_BSRM.obj", ".._COLD.obj",
                                   "a_b_______c _ETSH.obj", "LPT1_BURN.obj", "CON[1].DDS"}));
}

}  // namespace
}  // namespace gantry
