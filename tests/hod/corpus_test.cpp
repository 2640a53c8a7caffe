// Real HOD files: those that read cleanly must read with no message, from a file exactly as
// from memory; damaged ones must give a message and keep what came before the damage.
#include "support/corpus.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>

#include "hod/hod_test_files.h"

namespace gantry::testing {
namespace {

namespace fs = std::filesystem;

class CleanCorpusFile : public ::testing::TestWithParam<std::string> {};

TEST_P(CleanCorpusFile, ReadsWithoutMessageFromFileAsFromMemory) {
  const std::string path = CorpusFile(GetParam());
  if (path.empty()) GANTRY_CORPUS_ABSENT("corpus file absent: " << GetParam());
  const HodRead r = HodRead::File(path);
  EXPECT_TRUE(r.outcome.completed);
  for (const auto& shown : r.ui.messages) ADD_FAILURE() << shown.text;
  EXPECT_EQ(r.outcome.position, fs::file_size(path));
  EXPECT_EQ(r.model.HodVersion.Length, 8);
  const HodRead memory(FileBytes(path));
  EXPECT_TRUE(memory.model == r.model);
}

INSTANTIATE_TEST_SUITE_P(HodCorpus, CleanCorpusFile, ::testing::ValuesIn(CleanCorpusFiles()));

class DamagedCorpusFile : public ::testing::TestWithParam<std::string> {};

TEST_P(DamagedCorpusFile, GivesAMessageAndKeepsWhatWasRead) {
  const std::string path = CorpusFile(GetParam());
  if (path.empty()) GANTRY_CORPUS_ABSENT("corpus file absent: " << GetParam());
  const HodRead r = HodRead::File(path);
  EXPECT_FALSE(r.ui.messages.empty());
  EXPECT_FALSE(r.outcome.completed);
  EXPECT_LT(r.outcome.position, fs::file_size(path));
  // VERS and NAME open every one of these files.
  EXPECT_EQ(r.model.HodVersion.Length, 8);
  EXPECT_EQ(r.model.HodName.TypeName, "Homeworld2 Multi Mesh File");
  EXPECT_GT(r.model.HodName.Length, 0);
}

INSTANTIATE_TEST_SUITE_P(HodCorpus, DamagedCorpusFile, ::testing::ValuesIn(DamagedCorpusFiles()));

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
