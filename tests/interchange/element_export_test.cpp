#include "interchange/element_export.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "hod/reset.h"
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
  EXPECT_EQ(first_line("Hull_COLD.obj"), "# Converted from 'ship'\r");
  EXPECT_EQ(first_line("hull_BSRM.obj"), "# Converted from 'ship'\r");
  EXPECT_EQ(first_line("nozzle_ETSH.obj"), "# Converted from '" + workspace.current_file + "'\r");
  EXPECT_EQ(first_line("BGMS Part 2.obj"), "# Converted from '" + workspace.current_file + "'\r");
  EXPECT_TRUE(fs::exists(dir / "BGMS Part 1.obj"));
  EXPECT_EQ(folder.FileCount(), 5u);
}

}  // namespace
}  // namespace gantry
