// The save checks: which type's checks run, their order, every message and icon, the mends.
#include "hod/validate.h"

#include <gtest/gtest.h>

#include "hod/reset.h"
#include "support/model_parts.h"
#include "support/scripted_ui.h"

namespace gantry::testing {
namespace {

struct Checked {
  explicit Checked(HodModel& model, const ValidationContext& context = {})
      : result(ValidateHod(model, ui, context)) {}
  ScriptedUi ui;
  ValidationResult result;
};

LodMesh GoodLod() { return LodOf({TrianglePart()}); }

// A multi-mesh model that passes every check: `meshes` meshes with matching scar meshes.
HodModel GoodModel(int meshes = 1) {
  HodModel m = MakeDefaultModel();
  m.Materials.resize(1);
  for (int i = 0; i < meshes; ++i) {
    MultiMesh mesh;
    mesh.Name = "hull" + std::to_string(i);
    mesh.LodCount = 1;
    mesh.Lods = {GoodLod()};
    m.Meshes.push_back(mesh);
    ScarMesh scar;
    scar.Description.Name = mesh.Name;
    scar.Triangles = OneTriangle();
    scar.Normals = OneTriangle();
    m.ScarMeshes.push_back(scar);
  }
  return m;
}

TEST(Validate, NewModelOnlyWarnsAboutGeometry) {
  HodModel m = MakeDefaultModel();
  const Checked c(m);
  EXPECT_TRUE(c.result.valid);
  ASSERT_EQ(c.ui.messages.size(), 1u);
  EXPECT_EQ(c.ui.messages[0].text, "No Geometry in HOD (!)");
  EXPECT_EQ(c.ui.messages[0].icon, Icon::Exclamation);

  HodModel good = GoodModel(2);
  const Checked quiet(good);
  EXPECT_TRUE(quiet.result.valid);
  EXPECT_TRUE(quiet.ui.messages.empty());
}

TEST(Validate, TypeDecidesTheChecks) {
  // A NAME text of the user's own is not checked at all.
  HodModel custom = GoodModel();
  custom.HodName.TypeName = "My own kind";
  custom.JointList.JointCount = 0;
  EXPECT_TRUE(Checked(custom).result.valid);

  // Version 1000 runs the background checks whatever the NAME says.
  HodModel background = GoodModel();
  background.HodVersion.Version = 1000;
  const Checked b(background);
  EXPECT_TRUE(b.result.valid);
  ASSERT_EQ(b.ui.messages.size(), 1u);
  EXPECT_EQ(b.ui.messages[0].text, "No Geometry in HOD (!)");
}

TEST(Validate, SimpleAndWireframeMeshes) {
  HodModel m = MakeDefaultModel();
  m.HodName.TypeName = kSimpleMeshTypeName;
  const Checked empty(m);
  EXPECT_TRUE(empty.result.valid);
  EXPECT_EQ(empty.ui.MessageTexts(), std::vector<std::string>{"No geometry in HOD (!)"});

  SimpleMesh lines;
  lines.VertexCount = 2;
  lines.Vertices.resize(2);
  m.SimpleMeshes = {lines, lines};
  const Checked simple(m);
  EXPECT_FALSE(simple.result.valid);
  EXPECT_EQ(simple.ui.MessageTexts(),
            std::vector<std::string>{"SIMP\\WIRE mesh #1 has no faces. Please correct."});
  EXPECT_EQ(simple.ui.messages[0].icon, Icon::Critical);

  m.HodName.TypeName = kWireframeMeshTypeName;
  EXPECT_TRUE(Checked(m).result.valid);

  // Vertices are checked for every mesh before faces are.
  m.HodName.TypeName = kSimpleMeshTypeName;
  m.SimpleMeshes[1].VertexCount = 0;
  EXPECT_EQ(Checked(m).ui.MessageTexts(),
            std::vector<std::string>{"SIMP\\WIRE mesh #2 has no vertices. Please correct."});
}

TEST(Validate, BackgroundMeshes) {
  HodModel m = MakeDefaultModel();
  m.HodVersion.Version = 1000;
  m.BackgroundMeshSet.Meshes = {GoodLod(), GoodLod()};
  EXPECT_TRUE(Checked(m).result.valid);

  m.BackgroundMeshSet.Meshes[1].Parts[0].FaceLists[0].IndexCount = 0;
  EXPECT_EQ(Checked(m).ui.MessageTexts(),
            std::vector<std::string>{"BGMS part #2 has no faces. Please fix..."});
  m.BackgroundMeshSet.Meshes[1].Parts[0].VertexCount = 0;
  EXPECT_EQ(Checked(m).ui.MessageTexts(),
            std::vector<std::string>{"BGMS part #2 has no vertices. Please fix..."});
  m.BackgroundMeshSet.Meshes[1].PartCount = 0;
  const Checked empty(m);
  EXPECT_FALSE(empty.result.valid);
  EXPECT_EQ(empty.ui.MessageTexts(),
            std::vector<std::string>{"BGMS part #2 is empty. Please fix..."});
}

TEST(Validate, ParameterCountIsMendedAndTheSaveGoesOn) {
  HodModel m = GoodModel();
  Material material;
  material.ParameterCount = 3;
  material.Parameters.resize(2);
  m.Materials = {material};
  const Checked c(m);
  EXPECT_TRUE(c.result.valid);
  EXPECT_EQ(m.Materials[0].ParameterCount, 2);
  ASSERT_EQ(c.ui.messages.size(), 1u);
  EXPECT_EQ(c.ui.messages[0].text,
            "Invalid number of parameters for STAT Form. Trying to correct...");
  EXPECT_EQ(c.ui.messages[0].icon, Icon::Information);

  // An editor list shorter than the materials is reported and its last entry selected.
  m.Materials.push_back(material);
  const Checked short_list(m, {.editor_material_entries = 1});
  EXPECT_TRUE(short_list.result.valid);
  EXPECT_EQ(short_list.ui.messages.back().text,
            "Looks like this HOD has NO valid materials. Please fix this");
  EXPECT_EQ(short_list.result.select_material, 0u);
}

TEST(Validate, TexturesThatCouldNotBeReadBack) {
  HodModel m = GoodModel();
  Texture t;
  t.FileName = "hull[1].tga";
  t.Format = "DXT1";
  t.Width = 8;
  t.Height = 8;
  t.MipCount = 1;
  t.MipLevels = {MipLevel(32)};
  m.Textures = {t, t};
  EXPECT_TRUE(Checked(m).result.valid);

  m.Textures[1].MipLevels[0].resize(31);
  EXPECT_EQ(Checked(m).ui.MessageTexts(),
            std::vector<std::string>{"Invalid texture detected ( index: 2 )\r\nPlease remove"});
  m.Textures[1] = t;
  m.Textures[1].FileName = std::string(4, '\0');
  EXPECT_FALSE(Checked(m).result.valid);
}

TEST(Validate, MeshChecksInOrder) {
  HodModel m = GoodModel(2);
  m.Meshes[1].Lods[0].Parts[0].FaceListCount = 0;
  EXPECT_EQ(Checked(m).ui.MessageTexts(),
            std::vector<std::string>{
                "Geometry Object number 2 (name: hull1 )  LoD 1 part 1 has no vertices\\faces!\r\n"
                "Please ensure that Vertices\\Faces are present."});
  m.Meshes[1].Lods[0].PartCount = 0;
  EXPECT_EQ(Checked(m).ui.MessageTexts(),
            std::vector<std::string>{"Geometry Object number 2 (name: hull1 )  LoD 1 has no "
                                     "parts! Please ensure that geometry is present."});
  m.Meshes[1].Lods.clear();
  const Checked no_levels(m);
  EXPECT_EQ(no_levels.ui.MessageTexts(),
            std::vector<std::string>{"Invalid starting indice for MULT\\BMSH Form. Please "
                                     "correct..."});
  EXPECT_EQ(no_levels.ui.messages[0].icon, Icon::Information);
  EXPECT_FALSE(no_levels.result.valid);
  m.Meshes[1].LodCount = 0;
  EXPECT_EQ(
      Checked(m).ui.MessageTexts(),
      std::vector<std::string>{"Geometry Object number 2 (name: hull1 )  is empty. Please Remove"});
}

TEST(Validate, JointsAreCountedMendedAndUnique) {
  HodModel m = GoodModel();
  m.JointList.JointCount = 0;
  EXPECT_EQ(Checked(m).ui.MessageTexts(),
            std::vector<std::string>{"No Joints defined! Please define atleast ONE joint"});

  m.JointList.JointCount = 2;
  m.JointList.Joints.clear();
  const Checked mended(m);
  EXPECT_TRUE(mended.result.valid);
  EXPECT_EQ(mended.ui.MessageTexts(),
            (std::vector<std::string>{
                "Invalid starting indice for HIER Form. Trying to correct...",
                "Total joint count\\actual joint count mismatch. Trying to correct..."}));
  EXPECT_EQ(m.JointList.Joints.size(), 1u);
  EXPECT_EQ(m.JointList.JointCount, 1);

  Joint hull;
  hull.Name = "Hull";
  Joint shout = hull;
  shout.Name = "HULL";
  m.JointList.Joints = {m.JointList.Joints[0], hull, shout};
  m.JointList.JointCount = 3;
  const Checked clash(m);
  EXPECT_FALSE(clash.result.valid);
  EXPECT_EQ(clash.ui.MessageTexts(),
            std::vector<std::string>{"Joint #2 and Joint #3have same names! Please fix."});
  EXPECT_EQ(clash.ui.messages[0].icon, Icon::Information);

  // The pair reported is the one a pairwise scan meets first: the earliest joint that has a
  // namesake, with its nearest namesake after it.
  m.JointList.Joints.resize(6);
  const char* names[] = {"Root", "a", "b", "B", "A", "a"};
  for (std::size_t i = 0; i < 6; ++i) m.JointList.Joints[i].Name = names[i];
  m.JointList.JointCount = 6;
  EXPECT_EQ(Checked(m).ui.MessageTexts(),
            std::vector<std::string>{"Joint #2 and Joint #5have same names! Please fix."});
}

TEST(Validate, IndicesPastTheirListsAreReportedAndMendedOnYes) {
  HodModel m = GoodModel(2);
  m.Meshes[1].Name = "Hull";
  m.Meshes[1].Lods.push_back(GoodLod());
  m.Meshes[1].LodCount = 2;
  m.Meshes[1].Lods[1].Parts[0].MaterialIndex = 4;
  m.Meshes[0].Lods[0].Parts[0].MaterialIndex = -1;
  // Glows and background meshes of the game's own files point past the material list.
  m.EngineGlows.emplace_back().Mesh = GoodLod();
  m.EngineGlows[0].Mesh.Parts[0].MaterialIndex = 9;
  m.ScarMeshes[1].Description.Name = "Hull";
  Material textured;
  textured.Name = "skin";
  textured.Parameters.resize(2);
  textured.Parameters[1].Type = kParameterTexture;
  textured.Parameters[1].TextureIndex = 2;
  textured.Parameters[0].Type = kParameterTexture;
  textured.Parameters[0].TextureIndex = -1;  // no texture
  textured.ParameterCount = 2;
  m.Materials.push_back(textured);

  // No: the save goes on and nothing changes.
  HodModel kept = m;
  Checked declined(kept);
  EXPECT_TRUE(declined.result.valid);
  EXPECT_EQ(declined.ui.MessageTexts(),
            (std::vector<std::string>{
                "2 mesh part(s) use a material this HOD does not have (the first: mesh 'hull0' "
                "LoD 1 part 1 uses material 0; the HOD has 2).\r\nUse material 1 for them?",
                "1 texture parameter(s) use a texture this HOD does not have (the first: "
                "material 'skin' parameter 2 uses texture 3; the HOD has 0)."}));
  EXPECT_EQ(declined.ui.messages[0].icon, Icon::Exclamation);
  EXPECT_EQ(kept, m);

  // Yes: every such part uses the first material; a texture index has nothing to point at.
  m.Textures.resize(1);
  HodModel mended = m;
  ScriptedUi ui;
  ui.answers = {Answer::Yes, Answer::Yes};
  ValidateHod(mended, ui);  // the bare texture itself is refused later; the mends come first
  EXPECT_EQ(mended.Meshes[0].Lods[0].Parts[0].MaterialIndex, 0);
  EXPECT_EQ(mended.Meshes[1].Lods[1].Parts[0].MaterialIndex, 0);
  EXPECT_EQ(mended.Materials[1].Parameters[1].TextureIndex, 0);
  EXPECT_EQ(ui.messages.size(), 3u);
}

TEST(Validate, ScarMeshesMatchTheMeshes) {
  HodModel m = GoodModel(3);
  m.ScarMeshes[1].Normals.IndexCount = 0;
  m.ScarMeshes[2].Description.Name = "other";
  // Names are checked for every scar mesh before their data.
  EXPECT_EQ(Checked(m).ui.MessageTexts(),
            std::vector<std::string>{"Multi-Mesh\\Goblin Name and Battle Scar Reference name "
                                     "mismatch for object number 3 ( hull2 other respectively )"
                                     ". \r\nPlease correct."});
  m.ScarMeshes[2].Description.Name = "hull2";
  EXPECT_EQ(Checked(m).ui.MessageTexts(),
            std::vector<std::string>{"Battle Scar Reference mesh number 2 doesn't have "
                                     "vertex\\face data!\r\nPlease Correct."});
  m.ScarMeshes.pop_back();
  EXPECT_EQ(Checked(m).ui.MessageTexts(),
            std::vector<std::string>{"Battle Scar Reference Mesh\\Multi-Mesh or Goblin count "
                                     "mismatch. ( 2 and 3 respectively\r\nPlease correct."});
}

TEST(Validate, CollisionMeshesNeedTriangles) {
  HodModel m = GoodModel();
  CollisionMesh cold;
  cold.ParentName = "Root";
  cold.Triangles = OneTriangle();
  m.CollisionMeshes = {cold, cold};
  EXPECT_TRUE(Checked(m).result.valid);
  m.CollisionMeshes[1].Triangles.VertexCount = 0;
  EXPECT_EQ(Checked(m).ui.MessageTexts(),
            std::vector<std::string>{"Collision Mesh number 2 ( called as 'Root_CM' ) has no  "
                                     "vertices\\faces!\r\n Please correct."});
}

}  // namespace
}  // namespace gantry::testing
