// Save: validation first, then a safe write; the messages and answers of a failing step.
#include "hod/save.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <tuple>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "hod/hod_test_files.h"
#include "hod/hod_writer.h"
#include "support/corpus.h"
#include "support/temp_folder.h"

namespace gantry::testing {
namespace {

namespace fs = std::filesystem;

class SaveTest : public ::testing::Test {
 protected:
  SaveTest() { workspace_.model.HodOwner.Owner = "modder"; }

  TempFolder folder_;
  const fs::path& dir_ = folder_.path();
  std::string path_ = folder_.Path("ship.hod");
  Workspace workspace_;
  ScriptedUi ui_;
};

TEST_F(SaveTest, WritesWhatReadsBackAndTwiceGivesTheSameFile) {
  ASSERT_EQ(SaveHod(workspace_, path_, ui_), SaveResult::Saved);
  EXPECT_EQ(workspace_.current_file, path_);
  EXPECT_EQ(workspace_.working_folder, dir_.string());
  const ByteVector first = FileBytes(path_);
  const HodRead back(first);
  EXPECT_TRUE(Clean(back));
  EXPECT_EQ(back.model.HodOwner.Owner, std::string("modder\0", 7));

  ASSERT_EQ(SaveHod(workspace_, path_, ui_), SaveResult::Saved);
  EXPECT_EQ(FileBytes(path_), first);  // the owner's NUL is not appended twice
  EXPECT_EQ(ui_.MessageTexts(),
            (std::vector<std::string>{"No Geometry in HOD (!)", "No Geometry in HOD (!)"}));
}

TEST_F(SaveTest, AnInvalidModelTouchesNothing) {
  folder_.Write("ship.hod", "old");
  workspace_.model.JointList.JointCount = 0;
  EXPECT_EQ(SaveHod(workspace_, path_, ui_), SaveResult::Invalid);
  ASSERT_EQ(ui_.messages.size(), 3u);  // no geometry, no joints, then the refusal
  EXPECT_EQ(std::tuple(ui_.messages[2].text, ui_.messages[2].icon, FileBytes(path_),
                       workspace_.current_file),
            std::tuple("Can't Write. One or more errors are present in the HOD", Icon::Exclamation,
                       ByteVector{'o', 'l', 'd'}, ""));
}

TEST_F(SaveTest, AFailingStepAsksWhetherToGoOn) {
  const std::string missing = (dir_ / "gone" / "ship.hod").string();
  ui_.answers = {Answer::Ok, Answer::Yes};
  EXPECT_EQ(SaveHod(workspace_, missing, ui_), SaveResult::Failed);
  ASSERT_EQ(ui_.messages.size(), 2u);
  // The temporary file could not be made: the folder is named as the cause.
  const std::string cause =
      std::string(std::strerror(ENOENT)) + " (in the folder '" + (dir_ / "gone").string() + "')";
  EXPECT_EQ(std::tuple(ui_.messages[1].text, ui_.messages[1].icon, ui_.messages[1].buttons,
                       workspace_.current_file),
            std::tuple(SaveErrorText(ENOENT, cause, "Couldn't open file: " + missing),
                       Icon::Critical, Buttons::YesNo, ""));

  ui_.answers = {Answer::Ok, Answer::No};
  EXPECT_EQ(SaveHod(workspace_, missing, ui_), SaveResult::Quit);
}

// Root may write anything, so there the target is not read-only for the program.
TEST_F(SaveTest, AReadOnlyTargetIsRefusedAndLeftAlone) {
#ifndef _WIN32
  if (geteuid() == 0) GTEST_SKIP() << "root can write to a read-only file";
#endif
  folder_.Write("ship.hod", "old");
  fs::permissions(path_, fs::perms::owner_read | fs::perms::group_read);
  ui_.answers = {Answer::Ok, Answer::Yes};
  EXPECT_EQ(SaveHod(workspace_, path_, ui_), SaveResult::Failed);
  ASSERT_EQ(ui_.messages.size(), 2u);
  EXPECT_EQ(ui_.messages[1].text,
            SaveErrorText(EACCES, std::strerror(EACCES), "Couldn't open file: " + path_));
  EXPECT_EQ(FileBytes(path_), (ByteVector{'o', 'l', 'd'}));
  // Windows keeps only a read-only flag, shown as read permission for everybody.
  EXPECT_EQ(fs::status(path_).permissions() & fs::perms::owner_write, fs::perms::none);
  EXPECT_EQ(folder_.FileCount(), 1u);
  fs::permissions(path_, fs::perms::owner_write, fs::perm_options::add);  // so it can be removed
}

// The file format keeps lights or joints: a ship given a light is written without its joints
// only on a Yes (the question: Validate.LightsAskBeforeJointsAndBoundaryVerticesGo).
TEST_F(SaveTest, ALightDropsJointsOnlyWhenTheUserSaysSo) {
  HodModel& m = workspace_.model;
  m.LightList.Lights.resize(1);
  m.LightList.LightCount = 1;
  m.JointList.Joints.push_back(m.JointList.Joints[0]);
  m.JointList.Joints[1].Name = "Gun";
  m.JointList.Joints[1].ParentName = "Root";
  m.JointList.JointCount = 2;
  EXPECT_EQ(SaveHod(workspace_, path_, ui_), SaveResult::Invalid);  // writing nothing: AnInvalid...
  ui_.answers = {Answer::Ok, Answer::Yes};                          // no geometry; drop them
  ASSERT_EQ(SaveHod(workspace_, path_, ui_), SaveResult::Saved);
  const HodRead back(FileBytes(path_));
  EXPECT_EQ(std::tuple(back.model.LightList.LightCount, back.model.JointList.JointCount),
            std::tuple(1, 1));
}

TEST(SaveErrorText, HasTheFourTabbedLines) {
  EXPECT_EQ(SaveErrorText(13, "Permission denied", "Couldn't write file: a.hod"),
            "Error Occured!\r\n\tError Number: 13\r\n\tError Description: Permission "
            "denied\r\n\tError Source: Gantry HOD Editor\r\n\tError Information: 'Couldn't write "
            "file: a.hod'\r\n Continue?");
}

}  // namespace
}  // namespace gantry::testing
