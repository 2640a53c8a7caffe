// Each chunk handler: the bytes of a chunk land in the right fields of the right record.
#include <gtest/gtest.h>

#include <tuple>

#include "hod/hod_test_files.h"
#include "hod/textures.h"

namespace gantry::testing {
namespace {

// The file with every chunk kind, read once; a clean read also proves each handler consumed
// exactly its chunk's bytes.
const HodModel& Rich() {
  static const HodModel model = [] {
    const HodRead r(BuildRichFile().bytes);
    EXPECT_TRUE(Clean(r));
    return r.model;
  }();
  return model;
}

// Reads VERS plus the chunks added by `add`; the read must be clean.
template <typename Add>
HodModel ReadChunks(Add add) {
  HodBuilder b;
  b.Version();
  add(b);
  const HodRead r(b);
  EXPECT_TRUE(Clean(r)) << (r.ui.messages.empty() ? "" : r.ui.messages[0].text);
  return r.model;
}

using Indices = std::vector<std::int16_t>;

TEST(ReaderChunks, HeaderInfoLightsMaterialsAndTextures) {
  const HodModel& m = Rich();
  // One element per list chunk of the file.
  EXPECT_EQ(
      (std::vector<std::size_t>{m.Materials.size(), m.Textures.size(), m.Meshes.size(),
                                m.SimpleMeshes.size(), m.VaryMeshes.size(), m.EngineShapes.size(),
                                m.EngineBurns.size(), m.EngineGlows.size(), m.Markers.size(),
                                m.CollisionMeshes.size(), m.ScarMeshes.size(), m.Warnings.size(),
                                m.Errors.size(), m.BackgroundSegments.size(), m.StarFields.size()}),
      (std::vector<std::size_t>{2, 1, 2, 1, 1, 1, 1, 1, 2, 1, 1, 1, 1, 1, 1}));
  EXPECT_EQ(std::tuple(m.Warnings.at(0).Text, m.Errors.at(0).Text, m.HodOwner.Owner),
            std::tuple("careful", "broken", "me"));
  ASSERT_EQ(m.LightList.Lights.size(), 2u);
  EXPECT_EQ(m.LightList.Lights[0],
            (Light{3, "key", 2, {1, 2, 3}, {.5f, .25f, .125f}, {.9f, .8f, .7f}, 1, 100}));
  EXPECT_EQ(m.LightList.Lights[1].Position, (Vector3{-1, -2, -3}));
  const auto& framed = m.Materials.at(0).Parameters;
  EXPECT_EQ(std::tuple(m.Materials[0].Version, framed.at(0).Colour, framed.at(1).TextureIndex,
                       framed.at(1).LayerName, framed.at(2).Type, framed.size()),
            std::tuple(1002, ColourRGBA{.1f, .2f, .3f, .4f}, 1, "$diffuse", 9, 3u));
  const Material& plain = m.Materials.at(1);
  EXPECT_EQ(std::tuple(plain.Kind, plain.Version, plain.Parameters.at(0).TextureIndex,
                       plain.Parameters[0].LayerName, plain.Parameters.size()),
            std::tuple(Tag("STAT"), 1001, 2, "", 1u));
  // A FORM header over the plain layout: HodWriter.PlainMaterialIsWrittenFramedWithItsVersion.
  const std::vector<MipLevel>& t = m.Textures.at(0).MipLevels;
  EXPECT_EQ(std::tuple(t.size(), t.at(0).at(63), t.at(1), t.at(2)),
            std::tuple(3u, 63, MipLevel(16, 0xA0), MipLevel(8, 0xB0)));
  // Level sizes of the other formats (DXT1's smallest: the texture above, and the corpus).
  EXPECT_EQ(std::tuple(MipLevelBytes("8888", 8, 4, 1), MipLevelBytes("8888", 8, 4, 4),
                       MipLevelBytes("DXT5", 16, 16, 1), MipLevelBytes("DXT3", 16, 16, 4)),
            std::tuple(128, 4, 256, 16));
  // Odd sizes halve in fractions and the bytes round half to even: 1.25 x 1.25 x 8 = 12.5 gives
  // 12, 1.75 x 1.25 x 8 = 17.5 gives 18, a 5 x 3 level 2 is 2.5 x 1.5 x 4.
  EXPECT_EQ(std::tuple(MipLevelBytes("DXT1", 5, 5, 1), MipLevelBytes("DXT1", 7, 5, 1),
                       MipLevelBytes("8888", 5, 3, 2), MipLevelBytes("DXT5", 12, 20, 2)),
            std::tuple(12, 18, 15, 60));
}

TEST(ReaderChunks, JointsBoundaryAndEngineParts) {
  const HodModel& m = Rich();
  ASSERT_EQ(m.JointList.Joints.size(), 2u);
  EXPECT_EQ(m.JointList.Joints[1], (Joint{4,
                                          "Hull",
                                          4,
                                          "Root",
                                          {1, 2, 3},
                                          {.1f, .2f, .3f},
                                          {2, 2, 2},
                                          {.5f, .6f, .7f},
                                          {0, 1, 0}}));
  EXPECT_EQ(m.BoundaryVertices.Vertices, (std::vector<Vector3>{{-4, -5, -6}, {4, 5, 6}}));
  EXPECT_EQ(m.BoundaryVertices.Trailer, 7);
  EXPECT_EQ(m.EngineShapes.at(0).Outlines,
            (std::vector<ShapeOutline>{{2, {{1, 2, 3}, {4, 5, 6}}}, {1, {{7, 8, 9}}}}));
  const EngineBurn& burn = m.EngineBurns.at(0);
  EXPECT_EQ(std::tuple(burn.CurveCount, burn.Vertices.size(), burn.Vertices.at(5)),
            std::tuple(3, 6u, Vector3{15, 16, 17}));
  const EngineGlow& glow = m.EngineGlows.at(0);
  EXPECT_EQ(std::tuple(glow.InfoID, glow.Version, glow.LodLevel, glow.Mesh.Parts.at(0).VertexCount),
            std::tuple(Tag("GLOI"), 1000, 2, 3));
}

TEST(ReaderChunks, MarkersNavLightsAndDockPaths) {
  const HodModel& m = Rich();
  const Marker& mk = m.Markers.at(0);
  using Doubles = std::array<double, 3>;
  EXPECT_EQ(std::tuple(mk.Flags2, mk.Position, mk.Rotation, mk.Tracks.size()),
            std::tuple(2.5f, Doubles{1.5, -2.25, 3}, Doubles{0.1, 0.2, 0.3}, 2u));
  const KeyframeTrack& track = mk.Tracks.at(1);
  EXPECT_EQ(std::tuple(track.Version, track.Name, track.Keys, track.PostI),
            std::tuple(2, "posy", std::vector<Keyframe>{{0, 1.5, {1, 2, 3, 4}}, {2, -1, {}}}, 4));
  // A KEYF of length 4 holds no tracks, even with an NRML chunk after it.
  EXPECT_EQ(m.Markers.at(1).KeyfLength, 4);
  EXPECT_TRUE(m.Markers.at(1).Tracks.empty());
  EXPECT_EQ(m.NavLightList.Version, 3);
  EXPECT_EQ(m.NavLightList.NavLights,
            (std::vector<NavLight>{
                {4, "nav1", 4, 2, .5f, 1.5f, 7, "default", {1, .5f, .25f, 1}, 300, 1, 0}}));
  ASSERT_EQ(m.DockPathList.Paths.size(), 3u);
  const DockPath& full = m.DockPathList.Paths[0];
  EXPECT_EQ(std::tuple(full.Families, full.PathValue4, full.LinkedPaths, full.Points),
            std::tuple("Fighter", 14, "dock2",
                       std::vector<DockPoint>{
                           {{1, 2, 3}, {.1f, .2f, .3f}, 21, 5, 22, 250, 23, 24, 25, 26, 27, 28}}));
  // Older formats get the defaults of what they lack and become the newest.
  const DockPath& old = m.DockPathList.Paths[1];
  EXPECT_EQ(
      std::tuple(old.PathFormat, old.PointFormat, old.PathValue1, old.PathValue2, old.Families),
      std::tuple(6, 10, 31, 0, ""));
  EXPECT_EQ(old.Points,
            (std::vector<DockPoint>(2, {{4, 5, 6}, {}, 41, 7, 42, 500, 0, 0, 0, 0, 0, 0})));
  EXPECT_EQ(m.DockPathList.Paths[2].Points,
            (std::vector<DockPoint>{{{}, {}, 51, 8, 52, 100, 53, 56, 57, 58, 59, 0}}));
}

TEST(ReaderChunks, BackgroundChunksAndVary) {
  const HodModel& m = Rich();
  const auto& elements = m.BackgroundSegments.at(0).Elements;
  const auto& stars = m.StarFields.at(0).Stars;
  const auto& meshes = m.BackgroundMeshSet.Meshes;
  EXPECT_EQ(
      std::tuple(m.BackgroundLight.SecondLength, elements.size(), elements.at(1)[7], stars.size(),
                 stars.at(1)[0], meshes.size(), meshes.at(1).Parts.at(0).VertexCount),
      std::tuple(32, 2u, 16, 2u, 8, 2u, 4));
  const VaryMesh& v = m.VaryMeshes.at(0);
  EXPECT_EQ(std::tuple(v.Extra, v.ListA, v.ListB, v.ListC.size(), v.ListC.at(0)[6], v.ListD),
            std::tuple(9, std::vector<Vector3>{{1, 2, 3}},
                       std::vector<VaryRecordB>{{{4, 5, 6, 7, 8, 9}, {1, 2, 3, 4}}}, 1u, 106u,
                       std::vector<VaryGroup>{{1, {{11, 12, 13, 14}}}, {0, {}}}));
  // BGMS: ten small meshes are all taken and a BMSH after the set is not part of it; a BGMS of
  // length 4 empties the set; another child ends the set and is read as the next chunk.
  HodBuilder b;
  b.Version().Form("BGMS", [](HodBuilder& c) {
    for (int i = 0; i < 10; ++i)
      c.Form("BMSH", [i](HodBuilder& s) { s.BigLong(1).Long(i).Long(0); });
  });
  b.Form("BMSH", [](HodBuilder& s) { s.BigLong(1).Long(10).Long(0); });
  const HodRead r(b);
  EXPECT_TRUE(r.outcome.completed);
  EXPECT_EQ(std::tuple(r.model.BackgroundMeshSet.Meshes.size(),
                       r.model.BackgroundMeshSet.Meshes.at(9).LodLevel),
            std::tuple(10u, 9));
  EXPECT_EQ(r.ui.MessageTexts(),
            std::vector<std::string>{"Unknown chunk: BMSH\r\nSkipping 16 bytes..."});
  EXPECT_TRUE(ReadChunks([](HodBuilder& c) {
                AddBackgroundMeshes(c);
                c.Form("BGMS", nullptr);
              }).BackgroundMeshSet.Meshes.empty());
  const HodModel few = ReadChunks(
      [](HodBuilder& c) { c.Form("BGMS", [](HodBuilder& s) { AddStarField(s.SimpleLod(3)); }); });
  EXPECT_EQ(std::tuple(few.BackgroundMeshSet.Meshes.size(), few.StarFields.size()),
            std::tuple(1u, 1u));
}

TEST(ReaderChunks, MultiMeshGoblinAndSimpleMesh) {
  const HodModel& m = Rich();
  const MultiMesh& mult = m.Meshes.at(0);
  ASSERT_EQ(mult.Lods.size(), 2u);
  const LodMesh& lod = mult.Lods[0];
  ASSERT_EQ(lod.Parts.size(), 3u);
  const MeshPart& full = lod.Parts[0];
  EXPECT_EQ(std::tuple(mult.Kind, mult.Version, lod.Kind, full.MaterialIndex, full.Vertices.size()),
            std::tuple(Tag("NRML"), 1400, Tag("FORM"), 1, 2u));
  EXPECT_EQ(full.Vertices.at(1),
            (MeshVertex{
                {2, 2, 3, 1}, {10, 20, 30, 40}, {0, 1, 0, 0}, {.25f, .75f}, {1, 0, 0}, {0, 0, 1}}));
  EXPECT_EQ(full.FaceLists,
            (std::vector<FaceList>{{0x202, 3, {0, 1, 1}}, {0x206, 4, {1, 0, 1, 0}}}));
  // Mask 0x7: position, colour, then normal; mask 0: vertices of no bytes.
  EXPECT_EQ(lod.Parts[1].Vertices,
            (std::vector<MeshVertex>{{{5, 6, 7, 1}, {1, 2, 3, 4}, {0, 0, 1, 0}, {}, {}, {}}}));
  EXPECT_TRUE(lod.Parts[1].FaceLists.empty());
  EXPECT_EQ(lod.Parts[2].Vertices, std::vector<MeshVertex>(3));
  EXPECT_EQ(lod.Parts[2].FaceLists.at(0).Indices, (Indices{0, 1, 2}));
  EXPECT_EQ(mult.Lods[1].Parts.at(0).Vertices.at(3).UV, (Vector2{0.5f, 0.25f}));
  const MultiMesh& goblin = m.Meshes.at(1);
  EXPECT_EQ(std::tuple(goblin.ID, goblin.LodCount, goblin.Lods.size(), goblin.Lods.at(0).Kind),
            std::tuple(Tag("GOBG"), 1, 1u, Tag("NRML")));
  const SimpleMesh& simp = m.SimpleMeshes.at(0);
  EXPECT_EQ(simp.Vertices.at(1), (SimpleVertex{{10, 11, 12, 13}, {14, 15, 16, 17}, {18, 19}}));
  EXPECT_EQ(simp.Indices, (std::vector<std::int32_t>{0, 1, 1}));

  // Light and multi-mesh records are NRML whatever frames them.
  const HodModel framed = ReadChunks([](HodBuilder& b) {
    b.Form("BGLT", [](HodBuilder& c) { c.BigLong(5); });
    b.Form("MULT", [](HodBuilder& c) { c.BigLong(1).Text("m").Text("").Long(0); });
  });
  EXPECT_EQ(std::tuple(framed.BackgroundLight.Kind, framed.Meshes.at(0).Kind),
            std::tuple(Tag("NRML"), Tag("NRML")));
  // Without a container the tag tells a goblin (no level count) from a mesh.
  const HodModel plain = ReadChunks([](HodBuilder& b) {
    b.Plain("GOBG", [](HodBuilder& c) { c.BigLong(1).Text("g").Text("").SimpleLod(0); });
    b.Plain("MULT", [](HodBuilder& c) { c.BigLong(1).Text("m").Text("").Long(0); });
  });
  ASSERT_EQ(plain.Meshes.size(), 2u);
  EXPECT_EQ(std::tuple(plain.Meshes[0].ID, plain.Meshes[0].Lods.size(), plain.Meshes[1].ID),
            std::tuple(Tag("GOBG"), 1u, Tag("MULT")));
}

TEST(ReaderChunks, CollisionAndScarMeshes) {
  const HodModel& m = Rich();
  const CollisionMesh& cold = m.CollisionMeshes.at(0);
  EXPECT_EQ(std::tuple(cold.ParentName, cold.BoxHeader.Length, cold.Box.Maximum, cold.Sphere,
                       cold.Triangles.Vertices.at(2), cold.Triangles.Indices),
            std::tuple("Hull", 24, Vector3{1, 2, 3}, BoundingSphere{{0, 0.5f, 0}, 4},
                       Vector3{0, 1, 0}, Indices{0, 2, 1}));
  const ScarMesh& scar = m.ScarMeshes.at(0);
  EXPECT_EQ(std::tuple(scar.DescriptionHeader.PartTag, scar.DescriptionHeader.Version,
                       scar.Description.LodLevel, scar.Sphere.Radius, scar.Normals.Vertices,
                       scar.GridHeader.PartTag, scar.Grid.Cells),
            std::tuple(Tag("DESC"), 1000, 1, 2, std::vector<Vector3>{{0, 0, 1}}, Tag("SSUB"),
                       std::vector<ScarCell>{{0, {}}, {2, {5, 6}}}));
  // Empty triangles (8 bytes), a negative normal count (nothing read), a 0x0x0 grid, and an OWNR
  // of length 0: all followed by a chunk that must still read.
  const HodModel empty = ReadChunks([](HodBuilder& b) {
    b.Form("COLD", [](HodBuilder& c) {
      c.Text("Root").Plain("BBOX", [](HodBuilder& p) { p.Zeros(24); });
      c.Plain("BSPH", [](HodBuilder& p) { p.Zeros(16); });
      c.Plain("TRIS", [](HodBuilder& p) { p.Long(0).Long(0); });
    });
    b.Form("BSRM", [](HodBuilder& c) {
      c.Nrml("DESC", [](HodBuilder& p) { p.BigLong(1000).Text("x").Text("").Long(0); });
      c.Nrml("BBOX", [](HodBuilder& p) { p.BigLong(1000).Zeros(24); });
      c.Nrml("BSPH", [](HodBuilder& p) { p.BigLong(1000).Zeros(16); });
      c.Nrml("TRIS", [](HodBuilder& p) { p.BigLong(1000).Long(0).Long(0); });
      c.Nrml("VNRM", [](HodBuilder& p) { p.BigLong(1000).Long(-1).Long(0); });
      c.Nrml("SSUB", [](HodBuilder& p) { p.BigLong(1000).Long(0).Long(0).Long(0); });
    });
    b.Plain("OWNR", nullptr).Version(9);
  });
  ASSERT_EQ(empty.ScarMeshes.size(), 1u);
  EXPECT_EQ(
      std::tuple(empty.CollisionMeshes.at(0).Triangles.Vertices.size(),
                 empty.ScarMeshes[0].Normals.VertexCount, empty.ScarMeshes[0].Grid.Cells.size(),
                 empty.HodOwner.Kind, empty.HodOwner.Owner, empty.HodVersion.Version),
      std::tuple(0u, -1, 0u, Tag("OWNR"), "", 9));
}

}  // namespace
}  // namespace gantry::testing
