#include "commands/names.h"

#include <gtest/gtest.h>

#include "support/scripted_ui.h"

namespace gantry {
namespace {

TEST(Names, EndingsAreRaised) {
  // Name boxes: endings of three to one digits without leading zeros.
  // Only the last three count (234 -> 235); "012" has a leading zero, "12" does not.
  const std::pair<const char*, const char*> cases[] = {{"Gun12", "Gun13"},
                                                       {"Gun99", "Gun100"},
                                                       {"Gun1234", "Gun1235"},
                                                       {"Gun012", "Gun013"},
                                                       {"Gun0009", "Gun00010"},
                                                       {"Hull", "Hull1"},
                                                       {"7", "8"},
                                                       {"", "1"}};
  for (const auto& [name, raised] : cases) EXPECT_EQ(RaiseNameEnding(name), raised) << name;
  // Joint names: endings of four to one digits, leading zeros allowed.
  const std::pair<const char*, const char*> joints[] = {
      {"Gun0009", "Gun10"}, {"Gun12", "Gun13"}, {"HullA", "HullA1"}, {"12", "13"}};
  for (const auto& [name, raised] : joints) EXPECT_EQ(RaiseJointNameEnding(name), raised) << name;
}

TEST(Names, ClashesAreToldOnceAndTheSearchRepeats) {
  testing::ScriptedUi ui;
  const std::vector<std::string> names = {"Gun12", "Gun13", "Gun14", "Other"};
  EXPECT_EQ(MakeUniqueName(names, 3, "Gun12", ui), "Gun15");
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Name is not unique!\r\nName clash with object number: 1");
  EXPECT_EQ(ui.messages[0].icon, Icon::Exclamation);
  // The element itself does not clash with its own name.
  EXPECT_EQ(MakeUniqueName(names, 0, "Gun12", ui), "Gun12");
  EXPECT_EQ(ui.messages.size(), 1u);
  // Case matters for name boxes and for joint labels alike.
  EXPECT_EQ(MakeUniqueJointName(names, std::nullopt, "GUN12", ui), "GUN12");
  EXPECT_EQ(MakeUniqueJointName(names, std::nullopt, "Gun0013", ui), "Gun0013");
  EXPECT_EQ(MakeUniqueJointName(names, std::nullopt, "Gun13", ui), "Gun15");
  EXPECT_EQ(ui.messages.back().text, "Name clash with object #2");
  EXPECT_EQ(ui.messages.back().icon, Icon::None);
}

}  // namespace
}  // namespace gantry
