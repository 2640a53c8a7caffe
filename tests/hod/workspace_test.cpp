#include "hod/workspace.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/paths.h"
#include "hod/reset.h"
#include "support/hod_builder.h"
#include "support/scripted_ui.h"

namespace gantry {
namespace {

TEST(Workspace, OpenStartsFromDefaultsAndFollowsTheFilesFolder) {
  const auto dir = std::filesystem::temp_directory_path() / "gantry_workspace_test";
  std::filesystem::create_directories(dir);
  const auto file = dir / "ship.hod";
  testing::HodBuilder hod;
  hod.Version().Name().Plain("OWNR", [](testing::HodBuilder& b) { b.Text("me"); });
  {
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(hod.bytes().data()),
              static_cast<std::streamsize>(hod.size()));
  }

  Workspace ws;
  ws.model.Materials.emplace_back();  // left over from an earlier file
  ws.model.JointList.Joints.clear();
  testing::ScriptedUi ui;
  const ReadOutcome outcome = ws.Open(file.string(), ui);

  EXPECT_TRUE(outcome.completed);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_TRUE(ws.model.Materials.empty());
  ASSERT_EQ(ws.model.JointList.Joints.size(), 1u);  // no HIER: the default root stays
  EXPECT_EQ(ws.model.JointList.Joints[0].Name, "Root");
  EXPECT_EQ(ws.model.HodOwner.Owner, "me");
  EXPECT_EQ(ws.current_file, file.string());
  EXPECT_EQ(ws.working_folder, dir.string());
  EXPECT_EQ(ws.log.file_path(), (dir / "debug.log").string());
  std::filesystem::remove_all(dir);
}

TEST(Workspace, LogFileSitsInTheWorkingFolderForEitherSeparator) {
  EXPECT_EQ(DebugLogPath(""), "debug.log");
  EXPECT_EQ(DebugLogPath("mods\\ships"), NativePath("mods/ships/debug.log"));
}

}  // namespace
}  // namespace gantry
