// OBJ export: the text of a level, the material library, simple meshes, the files written, a
// level exported and imported again coming back the same (for what an OBJ carries), and the
// other elements exported as OBJ, never outside the folder chosen for them.
#include "interchange/obj_export.h"

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
#include "interchange/element_export.h"
#include "interchange/obj_import.h"
#include "support/model_parts.h"
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
  return {{x, y, z, 1}, {10, 20, 30, 40}, {0, 0, 1, 0}, {u, v}, {}, {}};
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

TEST(ObjExportText, LevelOfDetailAndMaterialLibraryAreWrittenLineByLine) {
  testing::ScriptedUi ui;
  const std::string text =
      LodMeshObjText(ModelWithMaterials(), "C:\\mods\\ship.hod", TwoPartLod(), "hull_LOD0",
                     /*reverse_v=*/true, kStamp, ui);
  // One vertex a line.
  EXPECT_EQ(Unix(text),
            "# Converted from 'C:\\mods\\ship.hod'\n"
            "# Wavfront OBJect created by Gantry HOD Editor\n#\t- By Varnel\n\n\n"
            "# Date: 2024-01-02 Time: 03:04:05\n#\n\nmtllib ship.mtl\n\n\n"
            "# Object: hull_LOD0\ng group1\nusemtl hull\n\n"
            "v 0 0 0\nvn 0 0 1\nvt 0 0.75 #0 1\n\n"
            "v 1 0 0\nvn 0 0 1\nvt 0.5 0 #0 1\n\n"
            "v 0 1 0\nvn 0 0 1\nvt 0 1 #0 1\n\n"
            "v 1 1 0.5\nvn 0 0 1\nvt 0 1 #0 1\n\n"
            "# 4 vertice(s)\n\nf 1/1/1 2/2/2 3/3/3\nf 4/4/4 3/3/3 2/2/2\n# 2 stripped faces\n\n"
            "# Object: hull_LOD0\ng group2\n"
            "v -1 2 3\n#vc 40 30 20 10\n\n"
            "v 4 -5 6\n#vc 40 30 20 10\n\n"
            "v 7 8 -9.5\n#vc 40 30 20 10\n\n"
            "# 3 vertice(s)\n\nf 5// 6// 7//\nf 7// 6// 5//\n# 2 listed faces\n\n# End\n");
  // 4 triangles.
  EXPECT_EQ(std::tuple(ui.statuses, ui.progress.at(ui.progress.size() - 1)),
            std::tuple(
                std::vector<std::string>{"Writing wOBJ file...", "Writing Vertex data...", "Ready"},
                std::pair<std::int64_t, std::int64_t>{4, 4}));

  // The material library names each material's first parameter's texture.
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

// 27: the OBJ importer's mask.
MeshPart Quad(float z, std::int32_t material) {
  MeshPart part{material, kMaskPosition | kMaskNormal | kMaskUV | 0x10, 4, {},
                1,        {{kFaceListTriangles, 6, {0, 1, 2, 0, 2, 3}}}};
  for (const auto& [x, y] : {std::pair{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}}) {
    part.Vertices.push_back({{x, y, z, 1}, {}, {0, 0, 1, 1}, {x / 2, y / 4}, {}, {}});
  }
  return part;
}

TEST(ObjRoundTrip, ExportThenImportGivesTheSameLevel) {
  const HodModel model = ModelWithMaterials();
  const LodMesh lod{{}, 0, 0, 2, {Quad(0, 0), Quad(2, 1)}};

  for (const bool reverse_v : {false, true}) {
    testing::ScriptedUi ui;
    const std::string text =
        LodMeshObjText(model, "ship.hod", lod, "ship_LOD0", reverse_v, HeaderStamp{}, ui);
    const ObjImportOptions options{.SubstituteMaterials = true,
                                   .AskReverseUVs = reverse_v,
                                   .MergeVertices = true,
                                   .ReadFaces = true};
    ObjImportContext context;
    context.material_names = {"hull", "glass"};
    context.batch = true;
    const auto back = ImportOBJMeshText(text, options, context, ui);
    ASSERT_TRUE(back) << (ui.messages.empty() ? "" : ui.messages[0].text);
    EXPECT_EQ(back->Parts, lod.Parts);  // shared corners merged back, materials by name
  }
}

// Each element's text after the header: one line a vertex or face.
TEST(ElementExportText, BodiesByKind) {
  CollisionMesh collision;
  collision.ParentName = "Hull";
  collision.Triangles.Vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, -0.5f}};
  collision.Triangles.Indices = {0, 1, 2, 2, 1, 3, 0};  // the trailing single index is ignored
  ScarMesh scar;
  scar.Description.Name = "hull";
  scar.Triangles.Vertices = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
  scar.Triangles.Indices = {0, 1, -1};  // the lists hold unsigned numbers: 65535
  scar.Normals.Vertices = {{0, 0, 1}};
  scar.Normals.Indices = {0, 0, 0};
  EngineShape shape;
  shape.Name = "nozzle";
  shape.Outlines = {{3, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}},
                    {4, {{0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}}}};
  EngineBurn burn;
  burn.Name = "flame";
  burn.Vertices = {{1, 2, 3}, {-4, 0.5f, 6}};
  const std::pair<std::string, const char*> cases[] = {
      {CollisionMeshObjText(collision, "SOURCE", kStamp),
       "# COLlision Mesh for joint: Hull\ng Hull_COLD\nv 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 -0.5\n"
       "f 1// 2// 3//\nf 3// 2// 4//\n"},
      {ScarMeshObjText(scar, "SOURCE", kStamp),
       "# Object: hull\ng hull\nv 1 2 3\nv 4 5 6\nv 7 8 9\nvn 0 0 1\nf 1//1 2//1 65536//1\n"},
      {EngineShapeObjText(shape, "SOURCE", kStamp),
       "#  Engine Shape: nozzle\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n"
       "v 0 0 1\nv 1 0 1\nv 1 1 1\nv 0 1 1\nf 4 5 6 7\n\n"},
      {EngineBurnObjText(burn, "SOURCE", kStamp), "#  Engine Burn: flame\nv 1 2 3\nv -4 0.5 6\n\n"},
  };
  for (const auto& [text, body] : cases) {
    EXPECT_EQ(Unix(text), Unix(ObjCommentHeader("SOURCE", kStamp)) + body);
  }
}

// A crafted HOD whose names climb out of the folder, name a device or hold characters Windows
// refuses: every export lands in the folder chosen for it, under a name that is one file, and
// names its source in its first line.
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
  workspace.model.BackgroundMeshSet.Meshes.resize(2);
  EXPECT_TRUE(WriteMultiMeshOBJ(workspace, 0, false, ui, FixedStamp));
  EXPECT_TRUE(ExportCollisionMeshesAll(workspace, ui, FixedStamp));
  EXPECT_TRUE(ExportScarMeshesAll(workspace, ui, FixedStamp));
  EXPECT_TRUE(ExportBackgroundMeshesAll(workspace, ui, FixedStamp));
  EXPECT_TRUE(ExportEngineShapeOBJ(workspace, 0, ui, FixedStamp));
  EXPECT_TRUE(ExportEngineBurnOBJ(workspace, 0, ui, FixedStamp));
  EXPECT_TRUE(ExportEngineBurnOBJ(workspace, 1, ui, FixedStamp));  // no such burn: nothing
  EXPECT_TRUE(ExportCollisionMeshOBJ(workspace, std::nullopt, ui, FixedStamp));  // nor here
  EXPECT_TRUE(ExportDDSTexture(workspace.model.Textures.at(0), "", workspace.working_folder, ui));
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{});

  std::set<std::string> written;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    if (!entry.is_regular_file() || entry.path() == FileSystemPath(hod)) continue;
    EXPECT_EQ(entry.path().parent_path(), out) << entry.path();
    written.insert(PathText(entry.path().filename()));
  }
  written.erase("debug.log");
  EXPECT_EQ(written, (std::set<std::string>{".._.._abc_LOD0.obj", ".._.._scar_BSRM.obj",
                                            ".._COLD.obj", "a_b_______c _ETSH.obj", "LPT1_BURN.obj",
                                            "CON[1].DDS", "BGMS Part 1.obj", "BGMS Part 2.obj"}));
  const auto first_line = [&](const char* name) {
    const std::string text = testing::FileText(out / name);
    return text.substr(0, text.find('\n'));
  };
  const std::string full = "# Converted from '" + workspace.current_file + "'\r";
  EXPECT_EQ(std::tuple(first_line(".._COLD.obj"), first_line(".._.._scar_BSRM.obj"),
                       first_line("a_b_______c _ETSH.obj"), first_line("BGMS Part 2.obj")),
            std::tuple("# Converted from 'ship'\r", "# Converted from 'ship'\r", full, full));
}

}  // namespace
}  // namespace gantry
