#include "hod/workspace.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

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
  EXPECT_TRUE(ws.Open(file, ui).completed);
  // No HIER: the default root stays.
  EXPECT_EQ(
      std::tuple(ui.messages.size(), ws.model.Materials.size(), ws.model.JointList.Joints,
                 ws.model.HodOwner.Owner, ws.current_file, ws.working_folder, ws.log.file_path()),
      std::tuple(0u, 0u, MakeDefaultModel().JointList.Joints, "me", file, dir.string(),
                 (dir / "debug.log").string()));
}

TEST(Workspace, LogFileSitsInTheWorkingFolderForEitherSeparator) {
  EXPECT_EQ(DebugLogPath(""), "debug.log");
  EXPECT_EQ(DebugLogPath("mods\\ships"), NativePath("mods/ships/debug.log"));
}

}  // namespace
}  // namespace gantry
