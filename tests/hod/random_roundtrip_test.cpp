// Random consistent models of every HOD type survive a save and a read: the model read back is
// the saved one (derived fields included, once its lengths are recomputed), writing it again
// gives the same bytes, and the chunks come in the write order with exact container lengths.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "hod/hod_test_files.h"
#include "hod/hod_writer.h"
#include "hod/model_diff.h"
#include "support/random_model.h"

namespace gantry::testing {
namespace {

// The write order, each chunk with its condition.
std::vector<std::string> ExpectedIds(const HodModel& m) {
  std::vector<std::string> ids = {"VERS"};
  const auto add = [&ids](const char* id, std::size_t n = 1) { ids.insert(ids.end(), n, id); };
  const bool background = TypeOf(m) == HodType::Background;
  const bool lights = m.LightList.LightCount > 0;
  if (background) {
    add("BGLT");
    add("BGMS", m.BackgroundMeshSet.Meshes.empty() ? 0 : 1);
  } else {
    add("NAME");
  }
  add("HVMD");
  add("LITE", lights ? 1 : 0);
  add("STAT", m.Materials.size());
  add("LMIP", m.Textures.size());
  add("VARY", m.VaryMeshes.size());
  for (const MultiMesh& mesh : m.Meshes) ids.push_back(mesh.ID.str());
  add("SIMP", m.SimpleMeshes.size());
  if (TypeOf(m) == HodType::MultiMesh) {
    add("DTRM");
    add("HIER", !lights && m.JointList.JointCount > 0 ? 1 : 0);
    add("ETSH", m.EngineShapes.size());
    add("GLOW", m.EngineGlows.size());
    add("BURN", m.EngineBurns.size());
    add("NAVL", m.NavLightList.NavLightCount > 0 ? 1 : 0);
    add("DOCK", m.DockPathList.PathCount > 0 ? 1 : 0);
    add("MRKR", m.Markers.size());
    add("BNDV", lights ? 0 : 1);
    add("COLD", m.CollisionMeshes.size());
    add("BSRM", m.ScarMeshes.size());
  } else {
    // Random segments and star fields are never empty, so all are written.
    add("BGSG", m.BackgroundSegments.size());
    add("STRF", m.StarFields.size());
    // INFO follows them only when it has something to keep.
    const bool owner = m.HodOwner.Owner.find_first_not_of('\0') != std::string::npos;
    if (m.Warnings.empty() && m.Errors.empty() && !owner) return ids;
  }
  add("INFO");
  add("WARN", m.Warnings.size());
  add("ERRR", m.Errors.size());
  add("OWNR");
  return ids;
}

using Case = std::tuple<HodType, std::uint32_t>;

class RandomRoundTrip : public ::testing::TestWithParam<Case> {};

TEST_P(RandomRoundTrip, ReadsBackTheSavedModel) {
  const auto [type, seed] = GetParam();
  HodModel saved = RandomModel(seed, type);
  ASSERT_EQ(TypeOf(saved), type);
  std::string error;
  ByteVector bytes;
  ASSERT_TRUE(ComputeLengths(saved, &error) && WriteHod(saved, bytes, &error)) << error;

  const HodRead back(bytes);
  ASSERT_TRUE(Clean(back)) << (back.ui.messages.empty() ? "stopped" : back.ui.messages[0].text);
  for (const std::string& line : DiffModels(saved, back.model)) ADD_FAILURE() << line;

  // Derived fields too (DiffModels leaves those out).
  HodModel again = back.model;
  ASSERT_TRUE(ComputeLengths(again, &error)) << error;
  EXPECT_TRUE(again == saved) << "a derived field differs after reading";

  ByteVector rewritten;
  ASSERT_TRUE(WriteHod(again, rewritten, &error)) << error;
  EXPECT_TRUE(rewritten == bytes);
}

// HVMD, DTRM and INFO are written as bare headers; each length must reach exactly to the next
// chunk it does not count (or to the end of the file).
TEST_P(RandomRoundTrip, WritesChunksInOrderWithExactContainerLengths) {
  const auto [type, seed] = GetParam();
  HodModel model = RandomModel(seed, type);
  // These lengths are written as stored; the walk needs ones that match the bytes.
  model.BackgroundLight.Length = 8;
  for (VaryMesh& v : model.VaryMeshes) {
    std::size_t bytes = 28 + v.Name.size() + v.ParentName.size() + 12 * v.ListA.size() +
                        28 * (v.ListB.size() + v.ListC.size());
    for (const VaryGroup& group : v.ListD) bytes += 4 + 12 * group.Records.size();
    v.Length = static_cast<std::int32_t>(bytes);
  }
  ByteVector bytes;
  ASSERT_TRUE(EncodeHod(model, bytes));
  ASSERT_EQ(TopChunkIds(bytes), ExpectedIds(model));
  const std::vector<TopChunk> chunks = TopChunks(bytes);

  const auto ends = [](const TopChunk& c) {
    return c.id == "DTRM" || c.id == "INFO" || c.id == "BGSG" || c.id == "STRF";
  };
  for (auto it = chunks.begin(); it != chunks.end(); ++it) {
    if (it->id != "HVMD" && it->id != "DTRM" && it->id != "INFO") continue;
    const auto next = std::find_if(it + 1, chunks.end(), ends);
    const std::size_t end = next == chunks.end() ? bytes.size() : next->offset;
    EXPECT_EQ(it->length, static_cast<std::int32_t>(end - it->offset - 8)) << it->id;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Seeds, RandomRoundTrip,
    ::testing::Combine(::testing::Values(HodType::MultiMesh, HodType::SimpleMesh,
                                         HodType::WireframeMesh, HodType::Background),
                       ::testing::Range<std::uint32_t>(1, 41)),
    [](const ::testing::TestParamInfo<Case>& info) {
      std::string name = TypeKeyword(std::get<0>(info.param));
      std::replace(name.begin(), name.end(), '-', '_');
      return name + "_" + std::to_string(std::get<1>(info.param));
    });

}  // namespace
}  // namespace gantry::testing
