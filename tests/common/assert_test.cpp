#include "common/assert.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "support/scripted_ui.h"

namespace gantry {
namespace {

TEST(Assert, PassingCheckIsSilentFailingOneReportsThePosition) {
  DebugLog log;
  testing::ScriptedUi ui;
  EXPECT_TRUE(Assert(true, 12, log, ui));
  EXPECT_FALSE(Assert(false, 1234, log, ui));
  const std::vector<std::string> said = {"Assertion Failed! Position: 1234"};
  ASSERT_EQ(ui.MessageTexts(), said);
  EXPECT_EQ(std::tuple(ui.messages[0].icon, log.messages()), std::tuple(Icon::Critical, said));
}

}  // namespace
}  // namespace gantry
