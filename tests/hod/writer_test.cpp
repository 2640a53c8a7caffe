// The writer's edge cases: derived fields it fills in, chunks it leaves out or rewrites in the
// newest layout, and models it refuses to write.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "hod/hod_test_files.h"
#include "hod/hod_writer.h"
#include "support/model_parts.h"
#include "support/random_model.h"

namespace gantry::testing {
namespace {

ByteVector Encode(const HodModel& model) {
  ByteVector bytes;
  std::string error;
  EXPECT_TRUE(EncodeHod(model, bytes, &error)) << error;
  return bytes;
}

// The top-level chunk with this id (the first one), or a failure.
TopChunk Chunk(const ByteVector& bytes, const std::string& id) {
  for (const TopChunk& chunk : TopChunks(bytes)) {
    if (chunk.id == id) return chunk;
  }
  ADD_FAILURE() << "no " << id << " chunk";
  return {"", bytes.size(), 0};
}

// Path format 1 holds one path value; point format 3 three values after position and rotation.
TEST(HodWriter, OldDockPathIsWrittenInTheNewestLayout) {
  HodBuilder b;
  b.Version().Name().Plain("DOCK", [](HodBuilder& c) {
    c.Long(1).Text("p").Text("Hull").Long(1).Long(3).Long(31).Long(1);
    Floats(c, {1, 2, 3, 0.1f, 0.2f, 0.3f}).Long(41).Single(7).Long(42);
  });
  const HodRead old(b);
  ASSERT_TRUE(Clean(old));
  const ByteVector bytes = Encode(old.model);

  // Path values and texts in the newest order; the tolerance as read, the default speed.
  HodBuilder dock;
  dock.Plain("DOCK", [](HodBuilder& c) {
    c.Long(1).Text("p").Text("Hull");
    for (const std::int32_t v : {6, 10, 31, 0, 0, 0, 0, 0, 1}) c.Long(v);
    Floats(c, {1, 2, 3, 0.1f, 0.2f, 0.3f}).Long(41).Single(7).Long(42).Single(500).Zeros(24);
  });
  const std::size_t at = Chunk(bytes, "DOCK").offset;
  EXPECT_EQ(ByteVector(bytes.begin() + at, bytes.begin() + at + dock.size()), dock.bytes());
  EXPECT_EQ(Chunk(bytes, "BNDV").offset, at + dock.size());
}

// Only an NRML header means the framed layout: a FORM header over the plain layout is plain (the
// bare plain chunk: the rich file's second material).
TEST(HodWriter, PlainMaterialIsWrittenFramedWithItsVersion) {
  HodBuilder b;
  b.Version().Name().Container("FORM", "STAT", [](HodBuilder& c) {
    c.Text("glass").Text("thruster").Long(1).Long(5).Long(4).Long(2);
  });
  const HodRead old(b);
  ASSERT_TRUE(Clean(old));
  const ByteVector bytes = Encode(old.model);
  const TopChunk stat = Chunk(bytes, "STAT");
  // NRML, length, STAT, then the version 1001 big-endian.
  EXPECT_EQ(ByteVector(bytes.begin() + stat.offset, bytes.begin() + stat.offset + 16),
            (ByteVector{'N', 'R', 'M', 'L', bytes[stat.offset + 4], bytes[stat.offset + 5],
                        bytes[stat.offset + 6], bytes[stat.offset + 7], 'S', 'T', 'A', 'T', 0, 0, 3,
                        0xE9}));
  const HodRead back(bytes);
  ASSERT_TRUE(Clean(back));
  const Material& material = back.model.Materials.at(0);
  EXPECT_EQ(std::tuple(material.Version, material.Parameters.at(0).TextureIndex,
                       material.Parameters.at(0).DataSize),
            std::tuple(1001, 2, 4));
}

// Nothing of DTRM is written, nor empty segments and star fields; INFO only when there is a
// warning, an error or an owner to keep.
TEST(HodWriter, SimpleWireframeAndBackgroundHodsEndAfterTheirStarFields) {
  for (const HodType type : {HodType::SimpleMesh, HodType::WireframeMesh, HodType::Background}) {
    SCOPED_TRACE(TypeKeyword(type));
    HodModel m = RandomModel(7, type);
    m.LightList = MakeDefaultModel().LightList;
    m.Materials.clear();
    m.Textures.clear();
    m.VaryMeshes.clear();
    m.Meshes.clear();
    m.SimpleMeshes.resize(1);
    m.BackgroundMeshSet.Meshes.clear();
    m.BackgroundLight.Length = 8;  // written as stored: the walk below steps by it
    m.BackgroundSegments.resize(1);
    m.StarFields.resize(1);
    m.BackgroundSegments.push_back({{"FORM", 0, "BGSG"}, 0, "none", 0, {}});
    m.StarFields.push_back({{"NRML", 0, "STRF"}, 3, 0, {}});
    m.Markers.resize(1);
    m.Warnings.clear();
    m.Errors.clear();
    m.HodOwner.Owner = std::string(2, '\0');
    std::vector<std::string> ids = {"VERS", "NAME", "HVMD", "SIMP", "BGSG", "STRF"};
    if (type == HodType::Background) ids[1] = "BGLT";
    EXPECT_EQ(TopChunkIds(Encode(m)), ids);
    m.HodOwner.Owner = "me";  // INFO with warnings: RandomRoundTrip
    ids.insert(ids.end(), {"INFO", "OWNR"});
    EXPECT_EQ(TopChunkIds(Encode(m)), ids);
  }
}

// The write is sized before it starts, for one allocation of the whole file; a chunk counted
// twice or not at all would cost a reallocation of the whole file. Lengths written as stored
// (BGLT's, VARY's) may say anything: saving must neither trust them for memory nor fail on them.
TEST(HodWriter, AllocatesExactlyTheFileSize) {
  std::vector<HodModel> models;
  for (const HodType type :
       {HodType::MultiMesh, HodType::SimpleMesh, HodType::WireframeMesh, HodType::Background}) {
    for (const std::uint32_t seed : {1u, 2u}) {  // with lights and without
      models.push_back(RandomModel(seed, type));
      models.back().Warnings.push_back({{"WARN", 0, {}}, 0, "kept"});
    }
  }
  HodBuilder background;
  background.Version(1000).Container(
      "NRML", "BGLT", [](HodBuilder& c) { c.BigLong(-16); }, -16);
  HodBuilder stray;
  stray.Version().Name().Container(
      "NRML", "BGLT", [](HodBuilder& c) { c.BigLong(8); }, -16);
  HodBuilder vary;
  vary.Version().Name().Form("HVMD", AddVary);
  for (HodBuilder* file : {&background, &stray, &vary}) {
    HodRead read(*file);
    ASSERT_TRUE(Clean(read));
    for (VaryMesh& v : read.model.VaryMeshes) v.Length = INT32_MIN + 100;
    models.push_back(read.model);
  }
  for (std::size_t i = 0; i < models.size(); ++i) {
    SCOPED_TRACE(::testing::Message() << "model " << i);
    const ByteVector bytes = Encode(models[i]);
    EXPECT_EQ(bytes.capacity(), bytes.size());
    EXPECT_TRUE(Clean(HodRead(bytes)));
  }
}

// Inner containers and sub-chunks are taken by position when read, whatever their kinds and
// tags; they are written with the proper ones.
TEST(HodWriter, InnerKindsAndTagsAreWrittenProperly) {
  HodBuilder b;
  b.Version().Name().Form("DTRM", [](HodBuilder& d) {
    AddGlow(d);
    AddMarker(d, 1);
    AddCollision(d);
    AddScar(d);
  });
  ByteVector odd = b.bytes();
  int overwritten = 0;
  const auto overwrite = [&](std::size_t at) {
    std::copy_n("ABCD", 4, odd.begin() + at);
    ++overwritten;
  };
  for (const std::string_view tag :
       {"GLOI", "HEAD", "KEYF", "BBOX", "BSPH", "TRIS", "DESC", "VNRM", "SSUB"}) {
    for (auto at = odd.begin();
         (at = std::search(at, odd.end(), tag.begin(), tag.end())) != odd.end();) {
      const auto offset = static_cast<std::size_t>(at - odd.begin());
      const std::string kind(odd.begin() + offset - 8, odd.begin() + offset - 4);
      if (kind == "NRML" || kind == "FORM") overwrite(offset - 8);
      if (tag != "GLOI") overwrite(offset);  // the glow keeps its info ID as read
      at += 4;
    }
  }
  EXPECT_EQ(overwritten, 20);
  const HodRead proper(b);
  const HodRead read_odd(odd);
  ASSERT_TRUE(Clean(proper));
  ASSERT_TRUE(Clean(read_odd));
  EXPECT_TRUE(Encode(read_odd.model) == Encode(proper.model));
}

struct Refusal {
  const char* what;
  std::function<void(HodModel&)> change;
  const char* error;
  bool then_lengths = false;  // changed before the length pass rather than after it
};

// Counts, lengths and texts that do not describe the data; counts of zero, which would hide
// their elements from the write order; data the reader would stop at, so the file could not be
// opened again.
TEST(HodWriter, RefusesModelsItCouldNotWriteTrueToTheData) {
  HodModel base = RandomModel(2, HodType::MultiMesh);
  base.Meshes = {MeshOf("m", {LodOf({TrianglePart()})}),
                 MeshOf("g", {LodOf({TrianglePart()})}, "GOBG")};
  base.EngineBurns.at(0).VertexCount = 2;
  base.EngineBurns.at(0).CurveCount = 1;
  base.EngineBurns.at(0).Vertices.resize(2);
  base.Textures.at(0) = {{"LMIP", 0, {}}, 0, "t", "DXT1", 1, 4, 4, {MipLevel(8)}};
  ASSERT_TRUE(ComputeLengths(base));
  ByteVector bytes;
  ASSERT_TRUE(WriteHod(base, bytes));
  const std::vector<Refusal> refusals = {
      {"two lights counted, one held",
       [](HodModel& m) {
         m.LightList.LightCount = 2;
         m.LightList.Lights.resize(1);
       },
       "lights"},
      {"joint count", [](HodModel& m) { ++m.JointList.JointCount; }, "joints"},
      {"part vertex count", [](HodModel& m) { m.Meshes[0].Lods[0].Parts[0].VertexCount = 2; },
       "part vertices"},
      {"goblin with two levels",
       [](HodModel& m) { m.Meshes[1].Lods.push_back(m.Meshes[0].Lods[0]); }, "levels of detail"},
      {"burn vertices per curve times curves", [](HodModel& m) { m.EngineBurns[0].CurveCount = 2; },
       "burn vertices"},
      {"dock point count", [](HodModel& m) { ++m.DockPathList.Paths[0].PointCount; },
       "dock points"},
      {"scar grid cells", [](HodModel& m) { m.ScarMeshes[0].Grid.Cells.emplace_back(); },
       "scar grid cells"},
      {"material renamed without the length pass",
       [](HodModel& m) { m.Materials[0].Name += "copper"; }, "copper\""},
      {"owner edited without the length pass", [](HodModel& m) { m.HodOwner.Owner = "you"; },
       "\"you\""},
      {"chunk length", [](HodModel& m) { m.Meshes[0].Length += 2; }, "length says"},
      {"a light counted zero", [](HodModel& m) { m.LightList.Lights.resize(1); }, "lights", true},
      {"joints counted zero", [](HodModel& m) { m.JointList.JointCount = 0; }, "joints", true},
      {"nav lights", [](HodModel& m) { m.NavLightList.NavLightCount = 0; }, "nav lights", true},
      {"dock paths", [](HodModel& m) { m.DockPathList.PathCount = 0; }, "dock paths", true},
      {"mip level size", [](HodModel& m) { m.Textures[0].MipLevels[0].resize(5); }, "mip", true},
      {"scar grid size",
       [](HodModel& m) {
         ScarGrid& grid = m.ScarMeshes[0].Grid;
         grid.SizeX = grid.SizeY = 65536;
         grid.SizeZ = 0;
         grid.Cells.clear();
       },
       "scar grid", true},
  };
  for (const Refusal& refusal : refusals) {
    SCOPED_TRACE(refusal.what);
    HodModel m = base;
    refusal.change(m);
    ASSERT_TRUE(!refusal.then_lengths || ComputeLengths(m));
    ByteVector out = {1, 2, 3};
    std::string error;
    EXPECT_FALSE(WriteHod(m, out, &error));
    EXPECT_NE(error.find(refusal.error), std::string::npos) << error;
    EXPECT_TRUE(out == (ByteVector{1, 2, 3})) << "the output was replaced";
  }
}

}  // namespace
}  // namespace gantry::testing
