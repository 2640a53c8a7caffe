#include "hod/workspace.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/paths.h"
#include "hod/reset.h"
#include "support/hod_builder.h"
#include "support/scripted_ui.h"
#include "support/temp_folder.h"

namespace gantry {
namespace {

TEST(Workspace, OpenStartsFromDefaultsAndFollowsTheFilesFolder) {
  const testing::TempFolder folder;
  const std::filesystem::path& dir = folder.path();
  testing::HodBuilder hod;
  hod.Version().Name().Plain("OWNR", [](testing::HodBuilder& b) { b.Text("me"); });
  const std::string file =
      folder.Write("ship.hod", std::string(hod.bytes().begin(), hod.bytes().end()));

  Workspace ws;
  ws.model.Materials.emplace_back();  // left over from an earlier file
  ws.model.JointList.Joints.clear();
  testing::ScriptedUi ui;
  const ReadOutcome outcome = ws.Open(file, ui);

  EXPECT_TRUE(outcome.completed);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_TRUE(ws.model.Materials.empty());
  ASSERT_EQ(ws.model.JointList.Joints.size(), 1u);  // no HIER: the default root stays
  EXPECT_EQ(ws.model.JointList.Joints[0].Name, "Root");
  EXPECT_EQ(ws.model.HodOwner.Owner, "me");
  EXPECT_EQ(ws.current_file, file);
  EXPECT_EQ(ws.working_folder, dir.string());
  EXPECT_EQ(ws.log.file_path(), (dir / "debug.log").string());
}

TEST(Workspace, LogFileSitsInTheWorkingFolderForEitherSeparator) {
  EXPECT_EQ(DebugLogPath(""), "debug.log");
  EXPECT_EQ(DebugLogPath("mods\\ships"), NativePath("mods/ships/debug.log"));
}

}  // namespace
}  // namespace gantry
