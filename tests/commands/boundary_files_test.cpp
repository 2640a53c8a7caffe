#include "commands/boundary_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "common/paths.h"
#include "interchange/obj_export.h"
#include "support/scripted_ui.h"
#include "support/temp_folder.h"

namespace gantry {
namespace {

namespace fs = std::filesystem;

const HeaderStamp kStamp{"2024-01-02", "03:04:05"};

TEST(BoundaryFiles, ExportTextAndName) {
  BoundaryVertexRecord boundary;
  boundary.Vertices = {{-10.5f, 0, 2}, {1e-6f, 123456789.0f, 0.25f}};
  EXPECT_EQ(BoundaryVerticesObjText(boundary, "C:\\mods\\ship.hod", kStamp),
            ObjCommentHeader("C:\\mods\\ship.hod", kStamp) +
                "# File containing BouNDary Values information.\r\n"
                "v -10.5 0 2\r\n"
                "v 1E-06 1.234568E+08 0.25\r\n");
  EXPECT_EQ(std::tuple(BoundaryFilePath("/mods/ship.v2.hod"), BoundaryFilePath("ship.hod")),
            std::tuple(NativePath("/mods/ship.v2_BNDV.obj"), "ship_BNDV.obj"));
}

TEST(BoundaryFiles, VertexLinesAreNormalisedBeforeReading) {
  EXPECT_EQ(NormaliseObjLine("\tv  1\t2 3  "), "v 1 2 3");
  // Lines end at CR, LF or both; the last needs no end; missing or bad numbers read as 0.
  EXPECT_EQ(ReadObjVertexLines("# v 9 9 9\r\n\tv  1\t2 3\r\nvn 7 7 7\nv 4 x\rv\t1.5e1 -2 .5abc\n"
                               "v\nvertex 8 8 8\r\nv \r\nv 0 0 7"),
            (std::vector<Vector3>{{1, 2, 3}, {4, 0, 0}, {15, -2, 0.5f}, {0, 0, 7}}));
}

class BoundaryImport : public ::testing::Test {
 protected:
  void SetUp() override {
    workspace_.SetCurrentFile(folder_.Path("ship.hod"));
    workspace_.model.BoundaryVertices.Vertices = {{1, 1, 1}, {2, 2, 2}};
    workspace_.model.BoundaryVertices.VertexCount = 2;
  }

  CommandResult Import(std::optional<std::string> path) {
    ui_.files.push_back(std::move(path));
    return ImportBoundaryVertices(workspace_.model, ui_);
  }

  testing::TempFolder folder_;
  Workspace workspace_;
  testing::ScriptedUi ui_;
};

TEST_F(BoundaryImport, NothingChangesWithoutVertices) {
  const BoundaryVertexRecord before = workspace_.model.BoundaryVertices;
  const std::string missing = folder_.Path("missing.obj");
  EXPECT_FALSE(Import(std::nullopt).changed);
  EXPECT_FALSE(Import(missing).changed);
  EXPECT_FALSE(Import(folder_.Write("empty.obj", "")).changed);
  EXPECT_TRUE(ui_.messages.empty());
  EXPECT_FALSE(Import(folder_.Write("faces.obj", "vn 1 2 3\r\nf 1 2 3\r\n")).changed);
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_NE(ui_.messages[0].text.find("faces.obj"), std::string::npos);
  EXPECT_EQ(
      std::tuple(ui_.messages[0].icon, workspace_.model.BoundaryVertices, fs::exists(missing)),
      std::tuple(Icon::Exclamation, before, false));
}

TEST_F(BoundaryImport, ExportedVerticesReadBack) {
  const std::vector<Vector3> points = {{-1.5f, 2, 3.25f}, {0.1f, -7e-8f, 1234567}, {0, 0, 0}};
  workspace_.model.BoundaryVertices.Vertices = points;
  ASSERT_TRUE(ExportBoundaryVertices(workspace_, ui_, [] { return kStamp; }));
  workspace_.model.BoundaryVertices.Vertices.clear();
  EXPECT_TRUE(Import(folder_.Path("ship_BNDV.obj")).changed);
  EXPECT_EQ(std::tuple(workspace_.model.BoundaryVertices.Vertices,
                       workspace_.model.BoundaryVertices.VertexCount),
            std::tuple(points, 3));
}

}  // namespace
}  // namespace gantry
