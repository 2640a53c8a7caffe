#include "interchange/obj_export.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "hod/reset.h"
#include "support/scripted_ui.h"
#include "support/temp_folder.h"

namespace gantry {
namespace {

namespace fs = std::filesystem;

const HeaderStamp kStamp{"2024-01-02", "03:04:05"};
HeaderStamp FixedStamp() { return kStamp; }

// The text with CR LF turned into LF; a lone LF or CR fails the test.
std::string Unix(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    EXPECT_NE(text[i], '\r') << "lone CR at " << i;
    EXPECT_TRUE(text[i] != '\n' || (i > 0 && text[i - 1] == '\r')) << "lone LF at " << i;
    out.push_back(text[i]);
  }
  return out;
}

MeshVertex Vertex(float x, float y, float z, float u = 0, float v = 0) {
  MeshVertex vertex;
  vertex.Position = {x, y, z, 1};
  vertex.Normal = {0, 0, 1, 0};
  vertex.UV = {u, v};
  vertex.Colour = {10, 20, 30, 40};
  return vertex;
}

// Part 1: a strip of four vertices with normals, UVs and the second UV pair (mask 123). Part 2:
// positions and colours (mask 5), a material out of range, a list of seven indices.
LodMesh TwoPartLod() {
  LodMesh lod;
  MeshPart& strip = lod.Parts.emplace_back();
  strip.VertexMask = 123;
  strip.Vertices = {Vertex(0, 0, 0, 0, 0.25f), Vertex(1, 0, 0, 0.5f, 1), Vertex(0, 1, 0),
                    Vertex(1, 1, 0.5f)};
  strip.FaceLists.push_back({kFaceListStrip, 4, {0, 1, 2, 3}});
  MeshPart& list = lod.Parts.emplace_back();
  list.MaterialIndex = 5;
  list.VertexMask = 5;
  list.Vertices = {Vertex(-1, 2, 3), Vertex(4, -5, 6), Vertex(7, 8, -9.5f)};
  list.FaceLists.push_back({kFaceListTriangles, 7, {0, 1, 2, 2, 1, 0, 0}});
  return lod;
}

HodModel ModelWithMaterials() {
  HodModel model = MakeDefaultModel();
  model.Materials.resize(2);
  model.Materials[0].Name = "hull";
  model.Materials[0].Parameters.emplace_back().Type = kParameterTexture;  // texture 0
  model.Materials[1].Name = "glass";
  model.Textures.emplace_back().FileName = "C:\\t\\hull.PSD[1]";
  return model;
}

TEST(ObjExportText, LevelOfDetailIsWrittenLineByLine) {
  testing::ScriptedUi ui;
  const std::string text =
      LodMeshObjText(ModelWithMaterials(), "C:\\mods\\ship.hod", TwoPartLod(), "hull_LOD0",
                     /*reverse_v=*/true, kStamp, ui);
  EXPECT_EQ(Unix(text),
            "# Converted from 'C:\\mods\\ship.hod'\n"
            "# Wavfront OBJect created by Gantry HOD Editor\n#\t- By Varnel\n"
            R"(

# Date: 2024-01-02 Time: 03:04:05
#

mtllib ship.mtl


# Object: hull_LOD0
g group1
usemtl hull

v 0 0 0
vn 0 0 1
vt 0 0.75 #0 1

v 1 0 0
vn 0 0 1
vt 0.5 0 #0 1

v 0 1 0
vn 0 0 1
vt 0 1 #0 1

v 1 1 0.5
vn 0 0 1
vt 0 1 #0 1

# 4 vertice(s)

f 1/1/1 2/2/2 3/3/3
f 4/4/4 3/3/3 2/2/2
# 2 stripped faces

# Object: hull_LOD0
g group2
v -1 2 3
#vc 40 30 20 10

v 4 -5 6
#vc 40 30 20 10

v 7 8 -9.5
#vc 40 30 20 10

# 3 vertice(s)

f 5// 6// 7//
f 7// 6// 5//
# 2 listed faces

# End
)");
  // 4 triangles.
  EXPECT_EQ(std::tuple(ui.statuses, ui.progress.at(ui.progress.size() - 1)),
            std::tuple(
                std::vector<std::string>{"Writing wOBJ file...", "Writing Vertex data...", "Ready"},
                std::pair<std::int64_t, std::int64_t>{4, 4}));
}

TEST(ObjExportText, MaterialLibraryNamesTheFirstParametersTexture) {
  const std::string plain =
      "illum 4\nKd 0.50 0.50 0.50\nKa 0.00 0.00 0.00\nTf 1.00 1.00 1.00\nNi 1.00\n";
  EXPECT_EQ(Unix(MaterialLibraryText(ModelWithMaterials())),
            "newmtl hull\n" + plain + "map_Kd .\\hull.DDS\n\nnewmtl glass\n" + plain + "\n\n");
  EXPECT_EQ(MaterialLibraryText(MakeDefaultModel()), "");
}

TEST(ObjExportText, SimpleMeshesAsTrianglesOrWireframe) {
  SimpleMesh mesh;
  for (int i = 0; i < 4; ++i) {
    mesh.Vertices.push_back({{static_cast<float>(i), 0, 0, 1}, {0, 1, 0, 0}, {0.5f, 0.25f}});
  }
  mesh.Indices = {0, 1, 2, 3};
  testing::ScriptedUi ui;
  const std::string triangles = Unix(SimpleMeshObjText("a\\s.hod", mesh, false, kStamp, ui));
  EXPECT_EQ(triangles.substr(0, triangles.find("v 1 0 0")),
            Unix(ObjCommentHeader("a\\s.hod", kStamp)) +
                "# Object: \ng \nv 0 0 0\nvn 0 1 0\nvt 0.5 0.25\n");
  EXPECT_EQ(triangles.substr(triangles.find("\n# 4 vertice(s)")),
            "\n# 4 vertice(s)\n\nf 1/1/1 2/2/2 3/3/3\n# 1.33333333333333 listed faces\n# End\n");
  mesh.Indices.clear();
  const std::string wire = Unix(SimpleMeshObjText("s.hod", mesh, true, kStamp, ui));
  EXPECT_NE(wire.find("\n# Object: WIRE_Mesh\ng WIRE_Mesh\n"), std::string::npos);
  EXPECT_EQ(wire.substr(wire.find("\n# 4 vertice(s)")),
            "\n# 4 vertice(s)\n\nf 1/1/1 2/2/2 \nf 3/3/3 4/4/4 \n# 0 listed faces\n# End\n");
}

class ObjExportFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    workspace_.SetCurrentFile(folder_.Path("ship.hod"));
    workspace_.model = ModelWithMaterials();
    MultiMesh& mesh = workspace_.model.Meshes.emplace_back();
    mesh.Name = "hull";
    mesh.Lods = {TwoPartLod(), TwoPartLod()};
    mesh.Lods[1].LodLevel = 1;
    MultiMesh& goblin = workspace_.model.Meshes.emplace_back();
    goblin.ID = Tag("GOBG");
    goblin.Name = "gob";
    goblin.Lods = {TwoPartLod(), TwoPartLod()};
    goblin.Lods[1].Parts.pop_back();  // tells the second level apart
  }

  testing::TempFolder folder_;
  const fs::path& dir_ = folder_.path();
  Workspace workspace_;
  testing::ScriptedUi ui_;
};

TEST_F(ObjExportFiles, EveryMeshLevelAndTheMaterialLibraryAreWritten) {
  ui_.answers = {Answer::Yes, Answer::No};
  ASSERT_TRUE(ExportGeometryAll(workspace_, ui_, FixedStamp));
  EXPECT_EQ(
      std::tuple(ui_.MessageTexts(), ui_.messages[0].icon, ui_.messages[0].buttons,
                 workspace_.log.messages(), ui_.statuses.back()),
      std::tuple(
          std::vector<std::string>{"Reverse UV?", "Reverse UV?"}, Icon::Question, Buttons::YesNo,
          std::vector<std::string>{"Writing wOBJ for MULT\\GOBG num. 1 Successfully completed!",
                                   "Writing wOBJ for MULT\\GOBG num. 2 Successfully completed!"},
          "Ready"));
  EXPECT_EQ(testing::FileText(dir_ / "ship.mtl"), MaterialLibraryText(workspace_.model));
  const std::string lod1 = Unix(testing::FileText(dir_ / "hull_LOD1.obj"));
  EXPECT_NE(lod1.find("vt 0 0.75"), std::string::npos);  // the first mesh was answered Yes
  const std::string goblin = Unix(testing::FileText(dir_ / "gob_GOBG.obj"));
  EXPECT_EQ(goblin.find("g group2"), std::string::npos);  // only the last level remains
  EXPECT_NE(goblin.find("vt 0 0.25"), std::string::npos);
  EXPECT_EQ(folder_.FileCount(), 4u);
}

TEST_F(ObjExportFiles, AFailedWriteIsShownAndLeavesWhatWasThere) {
  fs::create_directories(dir_ / "hull_LOD0.obj" / "kept");  // cannot be replaced by a file
  ui_.answers = {Answer::No};
  EXPECT_FALSE(ExportGeometrySelected(workspace_, 0, ui_, FixedStamp));
  ASSERT_EQ(ui_.messages.size(), 2u);
  // Stops at the first failure.
  EXPECT_EQ(std::tuple(ui_.messages[1].text.rfind(
                           "Couldn't write file: " + (dir_ / "hull_LOD0.obj").string(), 0),
                       ui_.messages[1].icon, fs::is_directory(dir_ / "hull_LOD0.obj" / "kept"),
                       fs::exists(dir_ / "hull_LOD1.obj"), workspace_.log.messages().size()),
            std::tuple(0u, Icon::Critical, true, false, 0u));
  EXPECT_TRUE(ExportGeometrySelected(workspace_, std::nullopt, ui_, FixedStamp));
  EXPECT_EQ(ui_.messages.size(), 2u);  // nothing selected: not even the question
}

}  // namespace
}  // namespace gantry
