#include "common/assert.h"

#include <gtest/gtest.h>

#include "support/scripted_ui.h"

namespace gantry {
namespace {

TEST(Assert, PassingCheckIsSilentFailingOneReportsThePosition) {
  DebugLog log;
  testing::ScriptedUi ui;
  EXPECT_TRUE(Assert(true, 12, log, ui));
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_TRUE(log.messages().empty());

  EXPECT_FALSE(Assert(false, 1234, log, ui));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Assertion Failed! Position: 1234");
  EXPECT_EQ(ui.messages[0].icon, Icon::Critical);
  ASSERT_EQ(log.messages().size(), 1u);
  EXPECT_EQ(log.messages()[0], "Assertion Failed! Position: 1234");
}

}  // namespace
}  // namespace gantry
