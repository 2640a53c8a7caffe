// Counts the reader cannot hold: a model just at each limit saves and reads back whole; one just
// past it is refused by the writer (nothing written) and by the save checks, with a message that
// names the element.
#include "hod/reader_limits.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "hod/hod_test_files.h"
#include "hod/hod_writer.h"
#include "hod/model_diff.h"
#include "hod/validate.h"
#include "support/model_parts.h"

namespace gantry::testing {
namespace {

LodMesh Lod(std::size_t parts) { return LodOf(std::vector<MeshPart>(parts, TrianglePart())); }

struct LimitCase {
  const char* what;
  std::int64_t limit;
  // Gives the model `n` of the counted things.
  std::function<void(HodModel&, std::int64_t n)> fill;
  // The refusal for limit + 1.
  std::string past;
};

std::size_t Size(std::int64_t n) { return static_cast<std::size_t>(n); }

std::vector<LimitCase> Cases() {
  return {
      {"parts of a mesh", 254,
       [](HodModel& m, std::int64_t n) { m.Meshes = {MeshOf("Hull", {Lod(Size(n))})}; },
       "Mesh 'Hull' LoD 1 has 255 parts; a HOD can hold at most 254."},
      {"parts of a glow", 254,
       [](HodModel& m, std::int64_t n) {
         EngineGlow glow;
         glow.Name = "flare";
         glow.Mesh = Lod(Size(n));
         m.EngineGlows = {glow};
       },
       "Engine glow 'flare' has 255 parts; a HOD can hold at most 254."},
      {"parts of a background mesh", 254,
       [](HodModel& m, std::int64_t n) {
         m.HodVersion.Version = 1000;
         m.BackgroundMeshSet.Meshes = {Lod(1), Lod(Size(n))};
       },
       "Background mesh 2 has 255 parts; a HOD can hold at most 254."},
      {"material parameters", 254,
       [](HodModel& m, std::int64_t n) {
         Material material;
         material.Name = "steel";
         material.ParameterCount = static_cast<std::int32_t>(n);
         material.Parameters.assign(Size(n), {4, 16, {1, 1, 1, 1}, -1, 0, ""});
         m.Materials = {material};
       },
       "Material 'steel' has 255 parameters; a HOD can hold at most 254."},
      {"lights", 32767,
       [](HodModel& m, std::int64_t n) {
         m.LightList.LightCount = static_cast<std::int32_t>(n);
         m.LightList.Lights.resize(Size(n));
       },
       "The model has 32768 lights; a HOD can hold at most 32767."},
      {"levels of detail", 32767,
       [](HodModel& m, std::int64_t n) {
         m.Meshes = {MeshOf("Hull", std::vector<LodMesh>(Size(n), Lod(1)))};
       },
       "Mesh 'Hull' has 32768 levels of detail; a HOD can hold at most 32767."},
      {"mip levels", 32767,
       [](HodModel& m, std::int64_t n) {
         m.Textures = {{{"LMIP", 0, {}},
                        0,
                        "rock.dds",
                        "DXT1",
                        static_cast<std::int32_t>(n),
                        1,
                        1,
                        std::vector<MipLevel>(Size(n), MipLevel(8))}};
       },
       "Texture 'rock.dds' has 32768 mip levels; a HOD can hold at most 32767."},
      {"dock points", 32767,
       [](HodModel& m, std::int64_t n) {
         DockPath path;
         path.Name = "bay";
         path.PointCount = static_cast<std::int32_t>(n);
         path.Points.resize(Size(n));
         m.DockPathList.PathCount = 1;
         m.DockPathList.Paths = {path};
       },
       "Dock path 'bay' has 32768 points; a HOD can hold at most 32767."},
      {"bytes of an engine shape", 32767,
       [](HodModel& m, std::int64_t n) {
         // 4 + name + 4 + parent (empty) + 4 + 12 * 2729 = 32760 + name.
         EngineShape shape;
         shape.Kind = "ETSH";
         shape.Name = std::string(Size(n - 32760), 'e');
         shape.Outlines = {{2729, std::vector<Vector3>(2729)}};
         m.EngineShapes = {shape};
       },
       "Engine shape 'eeeeeeee' takes 32768 bytes of data; a HOD can hold at most 32767."},
      {"vertices without data", 65536,
       [](HodModel& m, std::int64_t n) {
         // Counted over every part of every mesh.
         m.Meshes = {MeshOf("Hull", {LodOf({TrianglePart(Size(n / 2), 0), TrianglePart(),
                                            TrianglePart(Size(n - n / 2), 0)})})};
       },
       "The meshes have 65537 vertices whose vertex mask selects no data; a HOD can hold at most "
       "65536."},
      {"vertices of a collision mesh", 65536,
       [](HodModel& m, std::int64_t n) {
         // Past 65536 vertices a 16-bit index names the wrong vertex.
         CollisionMesh collision;
         collision.ParentName = "Root";
         collision.Triangles.VertexCount = static_cast<std::int32_t>(n);
         collision.Triangles.Vertices.resize(Size(n));
         collision.Triangles.IndexCount = 3;
         collision.Triangles.Indices = {0, 1, -1};
         m.CollisionMeshes = {collision};
       },
       "Collision mesh 'Root' has 65537 vertices; a HOD can hold at most 65536."},
  };
}

TEST(ReaderLimits, AtTheLimitSavesAndReadsBackWhole) {
  for (const LimitCase& c : Cases()) {
    SCOPED_TRACE(c.what);
    HodModel saved = MakeDefaultModel();
    c.fill(saved, c.limit);
    ByteVector bytes;
    std::string error;
    ASSERT_TRUE(ComputeLengths(saved, &error) && WriteHod(saved, bytes, &error)) << error;
    const HodRead back(bytes);
    EXPECT_TRUE(Clean(back)) << (back.ui.messages.empty() ? "" : back.ui.messages[0].text);
    for (const std::string& line : DiffModels(saved, back.model)) ADD_FAILURE() << line;
  }
}

TEST(ReaderLimits, PastTheLimitTheWriterAndTheSaveChecksRefuse) {
  for (const LimitCase& c : Cases()) {
    SCOPED_TRACE(c.what);
    HodModel m = MakeDefaultModel();
    c.fill(m, c.limit + 1);
    ASSERT_TRUE(ComputeLengths(m));
    ByteVector out = {1, 2, 3};
    std::string error;
    EXPECT_FALSE(WriteHod(m, out, &error));
    EXPECT_EQ(error, c.past);
    EXPECT_TRUE(out == (ByteVector{1, 2, 3})) << "the output was replaced";

    ScriptedUi ui;
    EXPECT_FALSE(ValidateHod(m, ui).valid);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, c.past);
    EXPECT_EQ(ui.messages[0].icon, Icon::Critical);
  }
}

// One outline can break its own limit before the shape's bytes are counted; a NAME text of the
// user's own skips the save checks (Validate.TypeDecidesTheChecks), but the writer still refuses.
TEST(ReaderLimits, OutlineVerticesAndUncheckedTypes) {
  HodModel m = MakeDefaultModel();
  m.HodName.TypeName = "My Own Mesh File";
  EngineShape shape;
  shape.Name = "big";
  shape.Outlines = {{3, std::vector<Vector3>(3)}, {32768, std::vector<Vector3>(32768)}};
  m.EngineShapes = {shape};
  ASSERT_TRUE(ComputeLengths(m));
  ByteVector out;
  std::string error;
  EXPECT_FALSE(WriteHod(m, out, &error));
  EXPECT_EQ(error,
            "Engine shape 'big' outline 2 has 32768 vertices; a HOD can hold at most 32767.");
}

// What the type does not write cannot stop a read.
TEST(ReaderLimits, OnlyWhatIsWrittenCounts) {
  HodModel m = MakeDefaultModel();
  m.HodName.TypeName = kSimpleMeshTypeName;
  EngineGlow glow;
  glow.Mesh = Lod(300);
  m.EngineGlows = {glow};
  m.DockPathList.Paths.resize(1);
  m.DockPathList.Paths[0].Points.resize(40000);
  EXPECT_EQ(FirstReaderLimitBroken(m), std::nullopt);
  m.HodName.TypeName = kMultiMeshTypeName;
  EXPECT_EQ(FirstReaderLimitBroken(m), "Engine glow '' has 300 parts; a HOD can hold at most 254.");
}

}  // namespace
}  // namespace gantry::testing
