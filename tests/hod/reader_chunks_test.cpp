// Each chunk handler: the bytes of a chunk land in the right fields of the right record.
#include <gtest/gtest.h>

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
  EXPECT_EQ(m.Warnings.at(0).Text, "careful");
  EXPECT_EQ(m.Errors.at(0).Text, "broken");
  EXPECT_EQ(m.HodOwner.Owner, "me");

  ASSERT_EQ(m.LightList.Lights.size(), 2u);
  EXPECT_EQ(m.LightList.Lights[0],
            (Light{3, "key", 2, {1, 2, 3}, {.5f, .25f, .125f}, {.9f, .8f, .7f}, 1, 100}));
  EXPECT_EQ(m.LightList.Lights[1].Position, (Vector3{-1, -2, -3}));

  const Material& framed = m.Materials.at(0);
  EXPECT_EQ(framed.Version, 1002);
  ASSERT_EQ(framed.Parameters.size(), 3u);
  EXPECT_EQ(framed.Parameters[0].Colour, (ColourRGBA{.1f, .2f, .3f, .4f}));
  EXPECT_EQ(framed.Parameters[1].TextureIndex, 1);
  EXPECT_EQ(framed.Parameters[1].LayerName, "$diffuse");
  EXPECT_EQ(framed.Parameters[2].Type, 9);
  const Material& plain = m.Materials.at(1);
  EXPECT_EQ(plain.Kind, Tag("STAT"));
  EXPECT_EQ(plain.Version, 1001);
  ASSERT_EQ(plain.Parameters.size(), 1u);
  EXPECT_EQ(plain.Parameters[0].TextureIndex, 2);
  EXPECT_EQ(plain.Parameters[0].LayerName, "");

  // Only an NRML header means the framed layout; a FORM header over the plain layout is plain.
  HodBuilder b;
  b.Version().Container("FORM", "STAT", [](HodBuilder& c) {
    c.Text("glass").Text("thruster").Long(1).Long(5).Long(4).Long(2);
  });
  const HodRead form(b);
  ASSERT_TRUE(Clean(form));
  ASSERT_EQ(form.model.Materials.size(), 1u);
  EXPECT_EQ(form.model.Materials[0].Version, 1001);
  EXPECT_EQ(form.model.Materials[0].Name, "glass");
  EXPECT_EQ(form.model.Materials[0].Parameters.at(0).TextureIndex, 2);

  const Texture& t = m.Textures.at(0);
  ASSERT_EQ(t.MipLevels.size(), 3u);
  EXPECT_EQ(t.MipLevels[0][63], 63);
  EXPECT_EQ(t.MipLevels[1], MipLevel(16, 0xA0));
  EXPECT_EQ(t.MipLevels[2], MipLevel(8, 0xB0));
}

TEST(ReaderChunks, MipLevelSizes) {
  EXPECT_EQ(MipLevelBytes("8888", 8, 4, 1), 128);
  EXPECT_EQ(MipLevelBytes("8888", 8, 4, 4), 4);
  EXPECT_EQ(MipLevelBytes("DXT5", 16, 16, 1), 256);
  EXPECT_EQ(MipLevelBytes("DXT3", 16, 16, 4), 16);
  // DXT1 256x128, 9 levels: 16384 bytes first, 8 bytes last, a pair of Longs between levels.
  const HodModel m = ReadChunks([](HodBuilder& b) {
    b.Plain("LMIP", [](HodBuilder& c) {
      c.Text("big.tga").Tag("DXT1").Long(9).Long(256).Long(128).Zeros(16384);
      for (int bytes : {4096, 1024, 256, 64, 16, 8, 8, 8}) c.Long(0).Long(0).Zeros(bytes);
    });
  });
  ASSERT_EQ(m.Textures.size(), 1u);
  ASSERT_EQ(m.Textures.at(0).MipLevels.size(), 9u);
  EXPECT_EQ(m.Textures.at(0).MipLevels[0].size(), 16384u);
  EXPECT_EQ(m.Textures.at(0).MipLevels[8].size(), 8u);
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
  EXPECT_EQ(m.EngineBurns.at(0).CurveCount, 3);
  ASSERT_EQ(m.EngineBurns.at(0).Vertices.size(), 6u);
  EXPECT_EQ(m.EngineBurns.at(0).Vertices[5], (Vector3{15, 16, 17}));

  const EngineGlow& glow = m.EngineGlows.at(0);
  EXPECT_EQ(glow.InfoID, Tag("GLOI"));
  EXPECT_EQ(glow.Version, 1000);
  EXPECT_EQ(glow.LodLevel, 2);
  EXPECT_EQ(glow.Mesh.Parts.at(0).VertexCount, 3);
}

TEST(ReaderChunks, MarkersNavLightsAndDockPaths) {
  const HodModel& m = Rich();
  const Marker& mk = m.Markers.at(0);
  EXPECT_EQ(mk.Flags2, 2.5f);
  EXPECT_EQ(mk.Position, (std::array<double, 3>{1.5, -2.25, 3}));
  EXPECT_EQ(mk.Rotation, (std::array<double, 3>{0.1, 0.2, 0.3}));
  ASSERT_EQ(mk.Tracks.size(), 2u);
  const KeyframeTrack& track = mk.Tracks[1];
  EXPECT_EQ(track.Version, 2);
  EXPECT_EQ(track.Name, "posy");
  EXPECT_EQ(track.Keys, (std::vector<Keyframe>{{0, 1.5, {1, 2, 3, 4}}, {2, -1, {}}}));
  EXPECT_EQ(track.PostI, 4);
  // A KEYF of length 4 holds no tracks, even with an NRML chunk after it.
  EXPECT_EQ(m.Markers.at(1).KeyfLength, 4);
  EXPECT_TRUE(m.Markers.at(1).Tracks.empty());

  EXPECT_EQ(m.NavLightList.Version, 3);
  ASSERT_EQ(m.NavLightList.NavLights.size(), 1u);
  EXPECT_EQ(m.NavLightList.NavLights[0],
            (NavLight{4, "nav1", 4, 2, .5f, 1.5f, 7, "default", {1, .5f, .25f, 1}, 300, 1, 0}));

  ASSERT_EQ(m.DockPathList.Paths.size(), 3u);
  const DockPath& full = m.DockPathList.Paths[0];
  EXPECT_EQ(full.Families, "Fighter");
  EXPECT_EQ(full.PathValue4, 14);
  EXPECT_EQ(full.LinkedPaths, "dock2");
  EXPECT_EQ(full.Points,
            (std::vector<DockPoint>{
                {{1, 2, 3}, {.1f, .2f, .3f}, 21, 5, 22, 250, 23, 24, 25, 26, 27, 28}}));
  // Older formats get the defaults of what they lack and become the newest.
  const DockPath& old = m.DockPathList.Paths[1];
  EXPECT_EQ(old.PathFormat, 6);
  EXPECT_EQ(old.PointFormat, 10);
  EXPECT_EQ(old.PathValue1, 31);
  EXPECT_EQ(old.PathValue2, 0);
  EXPECT_EQ(old.Families, "");
  EXPECT_EQ(old.Points,
            (std::vector<DockPoint>(2, {{4, 5, 6}, {}, 41, 7, 42, 500, 0, 0, 0, 0, 0, 0})));
  EXPECT_EQ(m.DockPathList.Paths[2].Points,
            (std::vector<DockPoint>{{{}, {}, 51, 8, 52, 100, 53, 56, 57, 58, 59, 0}}));
}

TEST(ReaderChunks, BackgroundChunksAndVary) {
  const HodModel& m = Rich();
  EXPECT_EQ(m.BackgroundLight.SecondLength, 32);
  ASSERT_EQ(m.BackgroundSegments.at(0).Elements.size(), 2u);
  EXPECT_EQ(m.BackgroundSegments.at(0).Elements[1][7], 16);
  ASSERT_EQ(m.StarFields.at(0).Stars.size(), 2u);
  EXPECT_EQ(m.StarFields.at(0).Stars[1][0], 8);
  ASSERT_EQ(m.BackgroundMeshSet.Meshes.size(), 2u);
  EXPECT_EQ(m.BackgroundMeshSet.Meshes[1].Parts.at(0).VertexCount, 4);

  const VaryMesh& v = m.VaryMeshes.at(0);
  EXPECT_EQ(v.Extra, 9);
  EXPECT_EQ(v.ListA, (std::vector<Vector3>{{1, 2, 3}}));
  EXPECT_EQ(v.ListB, (std::vector<VaryRecordB>{{{4, 5, 6, 7, 8, 9}, {1, 2, 3, 4}}}));
  ASSERT_EQ(v.ListC.size(), 1u);
  EXPECT_EQ(v.ListC[0][6], 106u);
  EXPECT_EQ(v.ListD, (std::vector<VaryGroup>{{1, {{11, 12, 13, 14}}}, {0, {}}}));

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
  ASSERT_EQ(r.model.BackgroundMeshSet.Meshes.size(), 10u);
  EXPECT_EQ(r.model.BackgroundMeshSet.Meshes[9].LodLevel, 9);
  ASSERT_EQ(r.ui.messages.size(), 1u);
  EXPECT_EQ(r.ui.messages[0].text, "Unknown chunk: BMSH\r\nSkipping 16 bytes...");
  EXPECT_TRUE(ReadChunks([](HodBuilder& c) {
                AddBackgroundMeshes(c);
                c.Form("BGMS", nullptr);
              }).BackgroundMeshSet.Meshes.empty());
  const HodModel few = ReadChunks(
      [](HodBuilder& c) { c.Form("BGMS", [](HodBuilder& s) { AddStarField(s.SimpleLod(3)); }); });
  EXPECT_EQ(few.BackgroundMeshSet.Meshes.size(), 1u);
  EXPECT_EQ(few.StarFields.size(), 1u);
}

TEST(ReaderChunks, MultiMeshGoblinAndSimpleMesh) {
  const HodModel& m = Rich();
  const MultiMesh& mult = m.Meshes.at(0);
  EXPECT_EQ(mult.Kind, Tag("NRML"));
  EXPECT_EQ(mult.Version, 1400);
  ASSERT_EQ(mult.Lods.size(), 2u);
  const LodMesh& lod = mult.Lods[0];
  EXPECT_EQ(lod.Kind, Tag("FORM"));
  ASSERT_EQ(lod.Parts.size(), 3u);
  const MeshPart& full = lod.Parts[0];
  EXPECT_EQ(full.MaterialIndex, 1);
  ASSERT_EQ(full.Vertices.size(), 2u);
  EXPECT_EQ(full.Vertices[1],
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
  EXPECT_EQ(goblin.ID, Tag("GOBG"));
  EXPECT_EQ(goblin.LodCount, 1);
  ASSERT_EQ(goblin.Lods.size(), 1u);
  EXPECT_EQ(goblin.Lods[0].Kind, Tag("NRML"));

  const SimpleMesh& simp = m.SimpleMeshes.at(0);
  EXPECT_EQ(simp.Vertices.at(1), (SimpleVertex{{10, 11, 12, 13}, {14, 15, 16, 17}, {18, 19}}));
  EXPECT_EQ(simp.Indices, (std::vector<std::int32_t>{0, 1, 1}));

  // Light and multi-mesh records are NRML whatever frames them.
  const HodModel framed = ReadChunks([](HodBuilder& b) {
    b.Form("BGLT", [](HodBuilder& c) { c.BigLong(5); });
    b.Form("MULT", [](HodBuilder& c) { c.BigLong(1).Text("m").Text("").Long(0); });
  });
  EXPECT_EQ(framed.BackgroundLight.Kind, Tag("NRML"));
  EXPECT_EQ(framed.Meshes.at(0).Kind, Tag("NRML"));

  // Without a container the tag tells a goblin (no level count) from a mesh.
  const HodModel plain = ReadChunks([](HodBuilder& b) {
    b.Plain("GOBG", [](HodBuilder& c) { c.BigLong(1).Text("g").Text("").SimpleLod(0); });
    b.Plain("MULT", [](HodBuilder& c) { c.BigLong(1).Text("m").Text("").Long(0); });
  });
  ASSERT_EQ(plain.Meshes.size(), 2u);
  EXPECT_EQ(plain.Meshes[0].ID, Tag("GOBG"));
  EXPECT_EQ(plain.Meshes[0].Lods.size(), 1u);
  EXPECT_EQ(plain.Meshes[1].ID, Tag("MULT"));
}

TEST(ReaderChunks, CollisionAndScarMeshes) {
  const HodModel& m = Rich();
  const CollisionMesh& cold = m.CollisionMeshes.at(0);
  EXPECT_EQ(cold.ParentName, "Hull");
  EXPECT_EQ(cold.BoxHeader.Length, 24);
  EXPECT_EQ(cold.Box.Maximum, (Vector3{1, 2, 3}));
  EXPECT_EQ(cold.Sphere, (BoundingSphere{{0, 0.5f, 0}, 4}));
  EXPECT_EQ(cold.Triangles.Vertices.at(2), (Vector3{0, 1, 0}));
  EXPECT_EQ(cold.Triangles.Indices, (Indices{0, 2, 1}));

  const ScarMesh& scar = m.ScarMeshes.at(0);
  EXPECT_EQ(scar.DescriptionHeader.PartTag, Tag("DESC"));
  EXPECT_EQ(scar.DescriptionHeader.Version, 1000);
  EXPECT_EQ(scar.Description.LodLevel, 1);
  EXPECT_EQ(scar.Sphere.Radius, 2);
  EXPECT_EQ(scar.Normals.Vertices, (std::vector<Vector3>{{0, 0, 1}}));
  EXPECT_EQ(scar.GridHeader.PartTag, Tag("SSUB"));
  EXPECT_EQ(scar.Grid.Cells, (std::vector<ScarCell>{{0, {}}, {2, {5, 6}}}));

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
  EXPECT_TRUE(empty.CollisionMeshes.at(0).Triangles.Vertices.empty());
  EXPECT_EQ(empty.ScarMeshes[0].Normals.VertexCount, -1);
  EXPECT_TRUE(empty.ScarMeshes[0].Grid.Cells.empty());
  EXPECT_EQ(empty.HodOwner.Kind, Tag("OWNR"));
  EXPECT_EQ(empty.HodOwner.Owner, "");
  EXPECT_EQ(empty.HodVersion.Version, 9);
}

}  // namespace
}  // namespace gantry::testing
