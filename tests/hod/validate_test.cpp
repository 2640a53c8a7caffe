// The save checks: which type's checks run, their order, what each rule says, the mends.
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
HodModel GoodModel(int meshes = 3) {
  HodModel m = MakeDefaultModel();
  m.Materials.resize(1);
  for (int i = 0; i < meshes; ++i) {
    const MultiMesh& mesh = m.Meshes.emplace_back(MeshOf("hull" + std::to_string(i), {GoodLod()}));
    ScarMesh& scar = m.ScarMeshes.emplace_back();
    scar.Description.Name = mesh.Name;
    scar.Triangles = scar.Normals = OneTriangle();
  }
  return m;
}

void Joints(HodModel& m, std::vector<const char*> names) {
  m.JointList.Joints.resize(names.size());
  for (std::size_t i = 0; i < names.size(); ++i) m.JointList.Joints[i].Name = names[i];
  m.JointList.JointCount = static_cast<std::int32_t>(names.size());
}

// Checks a copy of `m`: whether the save may go on, the first message's icon, every text said.
::testing::AssertionResult Says(HodModel m, bool valid, Icon icon,
                                const std::vector<std::string>& texts) {
  const Checked c(m);
  if (c.result.valid != valid) return ::testing::AssertionFailure() << "valid: " << !valid;
  if (c.ui.MessageTexts() != texts) {
    return ::testing::AssertionFailure() << ::testing::PrintToString(c.ui.MessageTexts());
  }
  if (!texts.empty() && c.ui.messages[0].icon != icon) {
    return ::testing::AssertionFailure() << "icon " << static_cast<int>(c.ui.messages[0].icon);
  }
  return ::testing::AssertionSuccess();
}

TEST(Validate, TypeDecidesTheChecks) {
  EXPECT_TRUE(Says(GoodModel(), true, Icon::None, {}));
  EXPECT_TRUE(Says(MakeDefaultModel(), true, Icon::Exclamation, {"No Geometry in HOD (!)"}));
  HodModel m = GoodModel();
  m.HodName.TypeName = "My own kind";  // not checked at all
  m.JointList.JointCount = 0;
  EXPECT_TRUE(Says(m, true, Icon::None, {}));
  m.HodVersion.Version = 1000;  // the background checks, whatever the NAME says
  EXPECT_TRUE(Says(m, true, Icon::Exclamation, {"No Geometry in HOD (!)"}));
}

TEST(Validate, SimpleAndWireframeMeshes) {
  HodModel m = GoodModel();
  m.HodName.TypeName = kSimpleMeshTypeName;
  EXPECT_TRUE(Says(m, true, Icon::Exclamation, {"No geometry in HOD (!)"}));
  m.SimpleMeshes.assign(2, SimpleMesh{});
  for (SimpleMesh& lines : m.SimpleMeshes) lines.VertexCount = 2;
  EXPECT_TRUE(Says(m, false, Icon::Critical, {"SIMP\\WIRE mesh #1 has no faces. Please correct."}));
  m.HodName.TypeName = kWireframeMeshTypeName;
  EXPECT_TRUE(Says(m, true, Icon::None, {}));
  // Vertices are checked for every mesh before faces are.
  m.HodName.TypeName = kSimpleMeshTypeName;
  m.SimpleMeshes[1].VertexCount = 0;
  EXPECT_TRUE(
      Says(m, false, Icon::Critical, {"SIMP\\WIRE mesh #2 has no vertices. Please correct."}));
}

TEST(Validate, BackgroundMeshes) {
  HodModel m = MakeDefaultModel();
  m.HodVersion.Version = 1000;
  m.BackgroundMeshSet.Meshes = {GoodLod(), GoodLod()};
  EXPECT_TRUE(Says(m, true, Icon::None, {}));
  LodMesh& second = m.BackgroundMeshSet.Meshes[1];
  second.Parts[0].FaceLists[0].IndexCount = 0;
  EXPECT_TRUE(Says(m, false, Icon::Critical, {"BGMS part #2 has no faces. Please fix..."}));
  second.Parts[0].VertexCount = 0;
  EXPECT_TRUE(Says(m, false, Icon::Critical, {"BGMS part #2 has no vertices. Please fix..."}));
  // Every mesh is checked for parts before any part is checked.
  m.BackgroundMeshSet.Meshes[0].Parts[0].VertexCount = 0;
  second.PartCount = 0;
  EXPECT_TRUE(Says(m, false, Icon::Critical, {"BGMS part #2 is empty. Please fix..."}));
}

TEST(Validate, TexturesThatCouldNotBeReadBack) {
  HodModel m = GoodModel();
  const Texture t = SampleTexture("hull[1].tga", "DXT1", 8, 8);
  m.Textures = {t, t};
  EXPECT_TRUE(Says(m, true, Icon::None, {}));
  const std::vector<std::string> second = {
      "Invalid texture detected ( index: 2 )\r\nPlease remove"};
  m.Textures[1].MipLevels[0].resize(31);
  EXPECT_TRUE(Says(m, false, Icon::Critical, second));
  m.Textures[1] = t;
  m.Textures[1].FileName = std::string(4, '\0');
  EXPECT_TRUE(Says(m, false, Icon::Critical, second));
}

// Each check stops at its first fault; a mesh's outer faults are found before its inner ones.
TEST(Validate, MeshChecksInOrder) {
  HodModel m = GoodModel();
  m.Meshes[1].Lods[0].Parts[0].FaceListCount = 0;
  EXPECT_TRUE(Says(m, false, Icon::Critical,
                   {"Geometry Object number 2 (name: hull1 )  LoD 1 part 1 has no vertices\\faces!"
                    "\r\nPlease ensure that Vertices\\Faces are present."}));
  m.Meshes[1].Lods[0].PartCount = 0;
  EXPECT_TRUE(Says(m, false, Icon::Critical,
                   {"Geometry Object number 2 (name: hull1 )  LoD 1 has no parts! Please ensure "
                    "that geometry is present."}));
  m.Meshes[1].Lods.clear();
  EXPECT_TRUE(Says(m, false, Icon::Information,
                   {"Invalid starting indice for MULT\\BMSH Form. Please correct..."}));
  m.Meshes[1].LodCount = 0;
  EXPECT_TRUE(Says(m, false, Icon::Critical,
                   {"Geometry Object number 2 (name: hull1 )  is empty. Please Remove"}));
}

TEST(Validate, JointsAreCountedAndUnique) {
  HodModel m = GoodModel();
  m.JointList.JointCount = 0;
  EXPECT_TRUE(
      Says(m, false, Icon::Critical, {"No Joints defined! Please define atleast ONE joint"}));
  // Names clash regardless of case. The pair reported is the one a pairwise scan meets first:
  // the earliest joint that has a namesake, with its nearest namesake after it.
  Joints(m, {"Root", "Hull", "HULL"});
  EXPECT_TRUE(
      Says(m, false, Icon::Information, {"Joint #2 and Joint #3have same names! Please fix."}));
  Joints(m, {"Root", "a", "b", "B", "A", "a"});
  EXPECT_TRUE(
      Says(m, false, Icon::Information, {"Joint #2 and Joint #5have same names! Please fix."}));
}

TEST(Validate, ScarAndCollisionMeshes) {
  HodModel m = GoodModel();
  m.ScarMeshes[1].Normals.IndexCount = 0;
  m.ScarMeshes[2].Description.Name = "other";
  // The count is checked before the names, the names of every scar mesh before their data.
  EXPECT_TRUE(Says(m, false, Icon::Critical,
                   {"Multi-Mesh\\Goblin Name and Battle Scar Reference name mismatch for object "
                    "number 3 ( hull2 other respectively ). \r\nPlease correct."}));
  m.ScarMeshes.pop_back();
  EXPECT_TRUE(Says(m, false, Icon::Critical,
                   {"Battle Scar Reference Mesh\\Multi-Mesh or Goblin count mismatch. ( 2 and 3 "
                    "respectively\r\nPlease correct."}));
  m.Meshes.pop_back();
  EXPECT_TRUE(Says(m, false, Icon::Critical,
                   {"Battle Scar Reference mesh number 2 doesn't have vertex\\face data!\r\n"
                    "Please Correct."}));
  m.ScarMeshes[1].Normals.IndexCount = 3;
  CollisionMesh cold;
  cold.ParentName = "Root";
  cold.Triangles = OneTriangle();
  m.CollisionMeshes = {cold, cold};
  EXPECT_TRUE(Says(m, true, Icon::None, {}));
  m.CollisionMeshes[1].Triangles.VertexCount = 0;
  EXPECT_TRUE(Says(m, false, Icon::Critical,
                   {"Collision Mesh number 2 ( called as 'Root_CM' ) has no  vertices\\faces!\r\n "
                    "Please correct."}));
}

// Content the game cannot use is saved as it is, with a warning.
TEST(Validate, ContentFaultsAreSaidNotRefused) {
  HodModel m = GoodModel();
  m.Meshes[2].Lods[0].Parts[0].FaceLists[0].Indices[1] = 7;
  EXPECT_TRUE(Says(m, true, Icon::Exclamation,
                   {"Some of the model's content cannot be right; it is saved as it is:\r\n - "
                    "mesh 'hull2' LoD 1 part 1: index 7 names a vertex beyond its 3"}));
}

TEST(Validate, CountsAreMendedAndTheSaveGoesOn) {
  HodModel m = GoodModel();
  Material material;
  material.ParameterCount = 3;
  material.Parameters.resize(2);
  m.Materials = {material};
  m.JointList.JointCount = 2;
  m.JointList.Joints.clear();
  const Checked c(m);
  EXPECT_TRUE(c.result.valid);
  EXPECT_EQ(c.ui.MessageTexts(),
            (std::vector<std::string>{
                "Invalid number of parameters for STAT Form. Trying to correct...",
                "Invalid starting indice for HIER Form. Trying to correct...",
                "Total joint count\\actual joint count mismatch. Trying to correct..."}));
  EXPECT_EQ(c.ui.messages[0].icon, Icon::Information);
  EXPECT_EQ(m.Materials[0].ParameterCount, 2);
  EXPECT_EQ(std::tuple(m.JointList.Joints.size(), m.JointList.JointCount), std::tuple(1u, 1));

  // An editor list shorter than the materials is reported and its last entry selected.
  m.Materials.push_back(material);
  const Checked short_list(m, {.editor_material_entries = 1});
  EXPECT_TRUE(short_list.result.valid);
  EXPECT_EQ(short_list.ui.messages.back().text,
            "Looks like this HOD has NO valid materials. Please fix this");
  EXPECT_EQ(short_list.result.select_material, 0u);
}

TEST(Validate, IndicesPastTheirListsAreReportedAndMendedOnYes) {
  HodModel m = GoodModel(2);
  m.Meshes[1].Lods.push_back(GoodLod());
  m.Meshes[1].LodCount = 2;
  m.Meshes[1].Lods[1].Parts[0].MaterialIndex = 4;
  m.Meshes[0].Lods[0].Parts[0].MaterialIndex = -1;
  // Glows and background meshes of the game's own files point past the material list.
  m.EngineGlows.emplace_back().Mesh = GoodLod();
  m.EngineGlows[0].Mesh.Parts[0].MaterialIndex = 9;
  Material textured;
  textured.Name = "skin";
  // The first has no texture.
  textured.Parameters = {{kParameterTexture, 0, {}, -1, 0, ""},
                         {kParameterTexture, 0, {}, 2, 0, ""}};
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
  ScriptedUi ui;
  ui.answers = {Answer::Yes, Answer::Yes};
  ValidateHod(m, ui);  // the bare texture itself is refused later; the mends come first
  EXPECT_EQ(std::tuple(m.Meshes[0].Lods[0].Parts[0].MaterialIndex,
                       m.Meshes[1].Lods[1].Parts[0].MaterialIndex,
                       m.Materials[1].Parameters[1].TextureIndex, ui.messages.size()),
            std::tuple(0, 0, 0, 3u));
}

// A file with lights holds no joints and no boundary vertices: a ship that has both is asked
// about (No preselected and answered No: not valid), never dropped without a word.
TEST(Validate, LightsAskBeforeJointsAndBoundaryVerticesGo) {
  HodModel m = GoodModel();
  m.LightList.Lights.resize(1);
  m.LightList.LightCount = 1;
  // What a file with lights reads as (the default root and placeholder box), even rescaled,
  // loses nothing.
  for (Vector3& v : m.BoundaryVertices.Vertices) v = {v.x * 3, v.y * 3, v.z * 3};
  const Checked kept(m);
  EXPECT_TRUE(kept.result.valid);
  EXPECT_TRUE(kept.ui.messages.empty());

  Joints(m, {"Root", "Gun"});
  const Checked refused(m);
  EXPECT_FALSE(refused.result.valid);
  EXPECT_EQ(refused.ui.MessageTexts(),
            std::vector<std::string>{
                "This HOD has 1 light(s), and a HOD with lights keeps neither joints nor boundary "
                "vertices: saving it drops its 2 joint(s).\r\nDrop them and save anyway?"});
  ASSERT_EQ(refused.ui.preselected.size(), 1u);
  EXPECT_EQ(refused.ui.preselected[0].second, Answer::No);
  EXPECT_EQ(refused.ui.messages[0].buttons, Buttons::YesNo);

  m.BoundaryVertices.Vertices[2] = {0, 5, 0};
  ScriptedUi agreed;
  agreed.answers = {Answer::Yes};
  EXPECT_TRUE(ValidateHod(m, agreed).valid);
  ASSERT_EQ(agreed.messages.size(), 1u);
  EXPECT_NE(agreed.messages[0].text.find("its 2 joint(s) and its 8 boundary vertices"),
            std::string::npos);

  // Told beforehand (the command line's --drop-lights): said, not asked.
  const Checked dropped(m, {.editor_material_entries = {}, .drop_for_lights = true});
  EXPECT_TRUE(dropped.result.valid);
  EXPECT_TRUE(dropped.ui.preselected.empty());
  EXPECT_EQ(dropped.ui.messages.size(), 1u);

  // Without lights, or in a simple mesh (which holds no joints anyway), nothing is asked.
  m.HodName.TypeName = kSimpleMeshTypeName;
  EXPECT_EQ(LightLossText(m), "");
  m.HodName.TypeName = kMultiMeshTypeName;
  m.LightList.LightCount = 0;
  EXPECT_EQ(LightLossText(m), "");
}

}  // namespace
}  // namespace gantry::testing
