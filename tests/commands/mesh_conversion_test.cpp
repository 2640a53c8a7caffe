// Conversions of an imported level-of-detail mesh into simple, engine-shape, collision and scar
// geometry.
#include "commands/mesh_conversion.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>
#include <utility>
#include <vector>

#include "support/model_parts.h"
#include "support/scripted_ui.h"

namespace gantry::testing {
namespace {

MeshVertex Vertex(float x, float y, float z) {
  MeshVertex v;
  v.Position = {x, y, z, 7};  // a w that must not survive the conversion
  v.Normal = {x / 10, y / 10, z / 10, 5};
  v.UV = {x, z};
  return v;
}

MeshPart Part(std::vector<MeshVertex> vertices, std::vector<std::vector<std::int16_t>> lists) {
  MeshPart part;
  part.VertexCount = static_cast<std::int32_t>(vertices.size());
  part.Vertices = std::move(vertices);
  for (auto& indices : lists) {
    FaceList list;
    list.IndexCount = static_cast<std::int32_t>(indices.size());
    list.Indices = std::move(indices);
    part.FaceLists.push_back(list);
  }
  part.FaceListCount = static_cast<std::int16_t>(part.FaceLists.size());
  return part;
}

MeshPart Quad() {
  return Part({Vertex(0, 0, 0), Vertex(1, 0, 0), Vertex(1, 1, 0), Vertex(0, 1, 0)},
              {{0, 1, 2, 0, 2, 3}});
}

SimpleMesh NamedSimple() {
  SimpleMesh simple;
  simple.NameLength = 4;
  simple.Name = "hull";
  simple.VertexCount = 1;
  simple.Vertices.resize(1);
  return simple;
}

TEST(SimpleMeshFromMesh, RefusesAnythingButOnePartWithOneFaceList) {
  struct Case {
    LodMesh lod;
    const char* text;
  };
  const Case cases[] = {
      {LodOf({}),
       "Invalid number of materials on mesh (0). \r\nPlease use a SINGLE material for the WHOLE "
       "mesh!"},
      {LodOf({Quad(), Quad()}),
       "Invalid number of materials on mesh (2). \r\nPlease use a SINGLE material for the WHOLE "
       "mesh!"},
      {LodOf({Part({Vertex(0, 0, 0)}, {{0, 0, 0}, {0, 0, 0}})}),
       "Invalid number of face lists\\strips on mesh (2). \r\nInternal error (!!!) [No faces in "
       "OBJ?]"},
  };
  for (const Case& c : cases) {
    ScriptedUi ui;
    SimpleMesh simple = NamedSimple();
    EXPECT_FALSE(SimpleMeshFromMesh(c.lod, simple, false, ui));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(std::tuple(simple, ui.messages[0].text, ui.messages[0].icon),
              std::tuple(NamedSimple(), c.text, Icon::Exclamation));
  }
}

TEST(SimpleMeshFromMesh, CopiesVerticesWithUnitWAndIndicesInOrder) {
  ScriptedUi ui;
  SimpleMesh simple = NamedSimple();
  MeshPart part = Quad();
  part.FaceLists[0].Indices.back() = -1;  // the vertex 65535 of a large part, not -1
  ASSERT_TRUE(SimpleMeshFromMesh(LodOf({part}), simple, false, ui));
  ASSERT_EQ(std::tuple(simple.Name, simple.VertexCount, simple.Vertices.size()),
            std::tuple("hull", 4, 4u));
  EXPECT_EQ(simple.Vertices[2], (SimpleVertex{{1, 1, 0, 1}, {0.1f, 0.1f, 0, 1}, {1, 0}}));
  EXPECT_EQ(std::tuple(simple.IndexCount, simple.Indices, ui.messages.size()),
            std::tuple(6, std::vector<std::int32_t>{0, 1, 2, 0, 2, 65535}, 0u));
}

TEST(SimpleMeshFromMesh, WireframeMakesEachTriangleIntoItsThreeEdges) {
  ScriptedUi ui;
  SimpleMesh simple = NamedSimple();
  simple.IndexCount = 1;
  simple.Indices = {9};
  ASSERT_TRUE(SimpleMeshFromMesh(LodOf({Quad()}), simple, true, ui));
  ASSERT_EQ(simple.VertexCount, 12);
  ASSERT_EQ(simple.Vertices.size(), 12u);
  const float xs[] = {0, 1, 1, 1, 1, 0, 0, 1, 1, 0, 0, 0};  // a-b, b-c, c-a twice
  const float ys[] = {0, 0, 0, 1, 1, 0, 0, 1, 1, 1, 1, 0};
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(simple.Vertices[i].Position, (Vector4{xs[i], ys[i], 0, 1})) << i;
    EXPECT_EQ(simple.Vertices[i].Normal.w, 1) << i;
  }
  EXPECT_EQ(std::tuple(simple.IndexCount, simple.Indices.size()), std::tuple(0, 0u));

  // Without faces the vertices stay as they are.
  ASSERT_TRUE(
      SimpleMeshFromMesh(LodOf({Part({Vertex(1, 2, 3), Vertex(4, 5, 6)}, {})}), simple, true, ui));
  ASSERT_EQ(simple.VertexCount, 2);
  EXPECT_EQ(std::tuple(simple.Vertices[1].Position, simple.IndexCount, simple.Indices.size()),
            std::tuple(Vector4{4, 5, 6, 1}, 0, 0u));
}

TEST(EngineShapeFromMesh, AppendsOneOutlinePerTriangleOfEveryList) {
  EngineShape shape;
  shape.Outlines.push_back({1, {Vector3{9, 9, 9}}});
  MeshPart strip = Part({Vertex(5, 0, 0), Vertex(6, 0, 0), Vertex(7, 0, 0)}, {{2, 1, 0, 1}});
  strip.FaceLists[0].Type = kFaceListStrip;  // still read as index triples; the spare 1 is left
  ASSERT_TRUE(EngineShapeFromMesh(LodOf({Quad(), strip}), shape));
  EXPECT_EQ(shape.Outlines, (std::vector<ShapeOutline>{{1, {{9, 9, 9}}},
                                                       {3, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}},
                                                       {3, {{0, 0, 0}, {1, 1, 0}, {0, 1, 0}}},
                                                       {3, {{7, 0, 0}, {6, 0, 0}, {5, 0, 0}}}}));

  EngineShape empty;
  ASSERT_TRUE(EngineShapeFromMesh(LodOf({}), empty));
  EXPECT_EQ(empty, EngineShape{});
}

TEST(CollisionMeshFromMesh, JoinsPartsShiftingIndicesPastEarlierParts) {
  CollisionMesh collision;
  collision.Box = {{-1, -2, -3}, {4, 5, 6}};
  collision.Sphere = {{1, 1, 1}, 3};
  MeshPart first =
      Part({Vertex(0, 0, 0), Vertex(1, 0, 0), Vertex(2, 0, 0), Vertex(3, 0, 0)}, {{0, 1, 2}});
  MeshPart second = first;
  second.Vertices[0] = Vertex(10, 11, 12);
  ASSERT_FALSE(CollisionMeshFromMesh(LodOf({first, second}), collision));
  // The box and sphere are left as they were.
  EXPECT_EQ(std::tuple(collision.Box, collision.Sphere.Radius),
            std::tuple(BoundingBox{{-1, -2, -3}, {4, 5, 6}}, 3));
  const TriangleMesh& t = collision.Triangles;
  ASSERT_EQ(std::tuple(t.VertexCount, t.Vertices.size(), t.IndexCount), std::tuple(8, 8u, 6));
  EXPECT_EQ(std::tuple(t.Vertices[4], t.Indices),
            std::tuple(Vector3{10, 11, 12}, std::vector<std::int16_t>{0, 1, 2, 4, 5, 6}));
}

// Joined parts of 65536 vertices reach the last 16-bit index; one vertex more is refused, where
// the shifted indices would wrap into the first part, and the target stays as it was.
TEST(CollisionMeshFromMesh, AJoinPastSixteenBitIndicesIsRefused) {
  MeshPart big;
  big.Vertices.resize(40000);
  MeshPart small = Part({Vertex(0, 0, 0)}, {{0, 25535}});
  small.Vertices.resize(25536);
  CollisionMesh collision;
  ASSERT_FALSE(CollisionMeshFromMesh(LodOf({big, small}), collision));
  EXPECT_EQ(collision.Triangles.Indices, (std::vector<std::int16_t>{-25536, -1}));

  small.Vertices.push_back({});
  const CollisionMesh before = collision;
  const auto refusal = CollisionMeshFromMesh(LodOf({big, small}), collision);
  ASSERT_TRUE(refusal);
  EXPECT_NE(refusal->find("65537"), std::string::npos) << *refusal;
  EXPECT_EQ(collision, before);
  ScarMesh scar;
  EXPECT_TRUE(ScarMeshFromLod(LodOf({big, small}), scar));
  EXPECT_EQ(scar, ScarMesh{});
}

// Strips give their triangles as a list, every other one turned and the stitching ones (a
// repeated corner) left out, as a HOD 2.0 file lists them: a scar or collision mesh joined from
// the strip's raw indices would describe other triangles.
TEST(ScarMeshFromLod, StripsJoinAsTheirTriangles) {
  MeshPart part =
      Part({Vertex(0, 0, 0), Vertex(1, 0, 0), Vertex(0, 1, 0), Vertex(1, 1, 0), Vertex(2, 1, 0)},
           {{0, 1, 2, 3, 3, 4}});
  part.FaceLists[0].Type = kFaceListStrip;
  const MeshPart listed = Part({Vertex(5, 5, 5)}, {{0, 0, 0}});
  ScarMesh scar;
  ASSERT_FALSE(ScarMeshFromLod(LodOf({listed, part}), scar));
  EXPECT_EQ(scar.Triangles.Indices, (std::vector<std::int16_t>{0, 0, 0, 1, 2, 3, 3, 2, 4}));
  CollisionMesh collision;
  ASSERT_FALSE(CollisionMeshFromMesh(LodOf({listed, part}), collision));
  EXPECT_EQ(collision.Triangles.Indices, scar.Triangles.Indices);
}

TEST(ScarMeshFromLod, BoxHoldsTheOriginAndSphereAveragesDistances) {
  MeshPart part = Part({Vertex(2, 1, 1), Vertex(4, 1, 3), Vertex(2, 5, 1), Vertex(4, 5, 3)},
                       {{0, 1, 2, 1, 3, 2}});
  ScarMesh scar;
  scar.Description.Name = "hull";
  ASSERT_FALSE(ScarMeshFromLod(LodOf({part}), scar));
  EXPECT_EQ(std::tuple(scar.Description.Name, scar.Box, scar.Sphere.Centre),
            std::tuple("hull", BoundingBox{{0, 0, 0}, {4, 5, 3}}, Vector3{3, 3, 2}));
  EXPECT_FLOAT_EQ(scar.Sphere.Radius, 2.4494898f);  // every vertex is sqrt(6) from the centre
  EXPECT_EQ(std::tuple(scar.Triangles.Indices, scar.Normals.VertexCount, scar.Normals.Indices,
                       scar.Normals.Vertices[3]),
            std::tuple(std::vector<std::int16_t>{0, 1, 2, 1, 3, 2}, 4, scar.Triangles.Indices,
                       Vector3{0.4f, 0.5f, 0.3f}));

  ScarMesh negative;
  ASSERT_FALSE(ScarMeshFromLod(LodOf({Part({Vertex(-3, -2, -1)}, {})}), negative));
  EXPECT_EQ(negative.Box, (BoundingBox{{-3, -2, -1}, {0, 0, 0}}));

  ScarMesh empty;
  empty.Sphere = {{1, 2, 3}, 4};
  ASSERT_FALSE(ScarMeshFromLod(LodOf({}), empty));
  EXPECT_EQ(std::tuple(empty.Sphere, empty.Box), std::tuple(BoundingSphere{}, BoundingBox{}));
}

}  // namespace
}  // namespace gantry::testing
