// Real HOD files. A clean one reads without a message, from a file exactly as from memory; saved
// and read back it gives the same model, apart from what a save recomputes on purpose, and
// writing that model again gives the same bytes. A damaged one gives a message and keeps what
// came before the damage, which saves and reads back as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "commands/transforms.h"
#include "hod/hod_test_files.h"
#include "hod/hod_writer.h"
#include "hod/model_diff.h"
#include "support/corpus.h"

namespace gantry::testing {
namespace {

// The model a save leaves behind (lengths recomputed), its bytes, and what reading them gives.
struct RoundTrip {
  explicit RoundTrip(HodModel model) : saved(std::move(model)) {
    std::string error;
    ok = ComputeLengths(saved, &error) && WriteHod(saved, bytes, &error);
    EXPECT_TRUE(ok) << error;
  }
  HodModel saved;
  ByteVector bytes;
  bool ok = false;
};

class CorpusRoundTrip : public ::testing::TestWithParam<std::string> {};

TEST_P(CorpusRoundTrip, ReadsBackEqualAndWritesIdenticalBytes) {
  const std::string path = CorpusFile(GetParam());
  if (path.empty()) GANTRY_CORPUS_ABSENT("corpus file absent: " << GetParam());
  const HodRead original = HodRead::File(path);
  ASSERT_TRUE(Clean(original)) << ::testing::PrintToString(original.ui.MessageTexts());
  EXPECT_EQ(original.outcome.position, std::filesystem::file_size(path));
  EXPECT_TRUE(HodRead(FileBytes(path)).model == original.model);

  const RoundTrip first(original.model);
  ASSERT_TRUE(first.ok);
  const HodRead back(first.bytes);
  EXPECT_TRUE(Clean(back));
  for (const std::string& line : DiffModels(first.saved, back.model)) ADD_FAILURE() << line;

  const RoundTrip second(back.model);
  EXPECT_TRUE(second.bytes == first.bytes);
  // Files the modding tools wrote in the newest layout come back byte for byte: every chunk in
  // its place, every length and derived count as the game's own tools give them.
  if (!RewrittenCorpusFiles().contains(GetParam())) {
    EXPECT_TRUE(first.bytes == FileBytes(path)) << "not written as the file was";
  }
}

// Scaling by two and back by a half is exact in binary floating point, so it must give back the
// very same model: nothing may take a detour through a narrower type.
TEST_P(CorpusRoundTrip, RescaleThereAndBackIsExact) {
  const std::string path = CorpusFile(GetParam());
  if (path.empty()) GANTRY_CORPUS_ABSENT("corpus file absent: " << GetParam());
  const HodRead original(FileBytes(path));
  HodModel model = original.model;
  ASSERT_TRUE(RescaleHOD(model, 2, 2, 2));
  ASSERT_TRUE(RescaleHOD(model, 0.5f, 0.5f, 0.5f));
  for (const std::string& line : DiffModels(original.model, model)) ADD_FAILURE() << line;
}

INSTANTIATE_TEST_SUITE_P(HodCorpus, CorpusRoundTrip, ::testing::ValuesIn(CleanCorpusFiles()));

class DamagedCorpusSalvage : public ::testing::TestWithParam<std::string> {};

TEST_P(DamagedCorpusSalvage, GivesAMessageAndWhatWasReadSavesAndReadsBack) {
  const std::string path = CorpusFile(GetParam());
  if (path.empty()) GANTRY_CORPUS_ABSENT("corpus file absent: " << GetParam());
  const HodRead damaged = HodRead::File(path);
  EXPECT_FALSE(damaged.ui.messages.empty());
  ASSERT_FALSE(damaged.outcome.completed);
  EXPECT_LT(damaged.outcome.position, std::filesystem::file_size(path));
  // VERS and NAME open every one of these files.
  EXPECT_EQ(damaged.model.HodName.TypeName, "Homeworld2 Multi Mesh File");
  const RoundTrip salvage(damaged.model);
  ASSERT_TRUE(salvage.ok);
  const HodRead back(salvage.bytes);
  EXPECT_TRUE(Clean(back));
  for (const std::string& line : DiffModels(salvage.saved, back.model)) ADD_FAILURE() << line;
}

INSTANTIATE_TEST_SUITE_P(HodCorpus, DamagedCorpusSalvage,
                         ::testing::ValuesIn(DamagedCorpusFiles()));

TEST(HodCorpus, HandCheckedFigures) {
  const std::string light =
      CorpusFile("tdmckenney0__slipstream-the-price-of-freedom__hw1_supernova_light.hod");
  const std::string ships = CorpusFile("Real-Gecko__hw2-complex__hgn_attackbombersupport.hod");
  if (light.empty() || ships.empty()) GANTRY_CORPUS_ABSENT("corpus files absent");
  const HodRead r = HodRead::File(light);
  ASSERT_TRUE(r.outcome.completed);
  const HodModel& m = r.model;
  ASSERT_EQ(std::tuple(m.LightList.Lights.size(), m.Warnings.size()), std::tuple(3u, 1u));
  const auto& lights = m.LightList.Lights;
  EXPECT_EQ(std::tuple(m.HodOwner.Owner, lights[0].Name, lights[0].Type, lights[2].Name,
                       lights[2].Type, m.HvmdHeader.Length, m.Warnings[0].TextLength),
            std::tuple(std::string("rcunningham\0", 12), "directionalLight1", 2, "ambientLight1", 0,
                       0xDB, 0x102));
  EXPECT_TRUE(m.Warnings[0].Text.starts_with("failed on MFnMesh\n"));
  // A file with lights has no HIER nor BNDV: the new model's joint and boundary stay.
  EXPECT_EQ(m.JointList, MakeDefaultModel().JointList);
  EXPECT_EQ(m.BoundaryVertices, MakeDefaultModel().BoundaryVertices);

  // Cut in its last chunk (OWNR): everything before it stays.
  const HodRead s = HodRead::File(ships);
  EXPECT_EQ(std::tuple(s.ui.messages.size(), s.model.Materials.size(), s.model.Textures.size(),
                       s.model.JointList.Joints.size()),
            std::tuple(1u, 5u, 11u, 24u));
}

}  // namespace
}  // namespace gantry::testing
