// Writing a model and reading it back gives the same model, apart from what a save recomputes on
// purpose; writing that model again gives the same bytes.
#include <gtest/gtest.h>

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
  const HodRead original(FileBytes(path));
  ASSERT_TRUE(Clean(original));

  const RoundTrip first(original.model);
  ASSERT_TRUE(first.ok);
  const HodRead back(first.bytes);
  EXPECT_TRUE(Clean(back));
  for (const std::string& line : DiffModels(first.saved, back.model)) ADD_FAILURE() << line;

  const RoundTrip second(back.model);
  EXPECT_TRUE(second.bytes == first.bytes);
  // Files the modding tools wrote in the newest layout come back byte for byte: every chunk in
  // its place, every length and derived count as the game's own tools give them.
  if (VerbatimCorpusFiles().contains(GetParam())) {
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

// What a damaged file gave up can be saved on its own and reads back as it was.
class DamagedCorpusSalvage : public ::testing::TestWithParam<std::string> {};

TEST_P(DamagedCorpusSalvage, WhatWasReadSavesAndReadsBack) {
  const std::string path = CorpusFile(GetParam());
  if (path.empty()) GANTRY_CORPUS_ABSENT("corpus file absent: " << GetParam());
  const HodRead damaged(FileBytes(path));
  ASSERT_FALSE(damaged.outcome.completed);
  const RoundTrip salvage(damaged.model);
  ASSERT_TRUE(salvage.ok);
  const HodRead back(salvage.bytes);
  EXPECT_TRUE(Clean(back));
  for (const std::string& line : DiffModels(salvage.saved, back.model)) ADD_FAILURE() << line;
}

INSTANTIATE_TEST_SUITE_P(HodCorpus, DamagedCorpusSalvage,
                         ::testing::ValuesIn(DamagedCorpusFiles()));

}  // namespace
}  // namespace gantry::testing
