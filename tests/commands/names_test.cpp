#include "commands/names.h"

#include <gtest/gtest.h>

#include "support/scripted_ui.h"

namespace gantry {
namespace {

TEST(Names, NameBoxEndingsOfThreeTwoOneWithoutLeadingZeros) {
  EXPECT_EQ(RaiseNameEnding("Gun12"), "Gun13");
  EXPECT_EQ(RaiseNameEnding("Gun99"), "Gun100");
  EXPECT_EQ(RaiseNameEnding("Gun1234"), "Gun1235");  // only the last three count: 234 -> 235
  EXPECT_EQ(RaiseNameEnding("Gun012"), "Gun013");    // "012" has a leading zero, "12" does not
  EXPECT_EQ(RaiseNameEnding("Gun0009"), "Gun00010");
  EXPECT_EQ(RaiseNameEnding("Hull"), "Hull1");
  EXPECT_EQ(RaiseNameEnding("7"), "8");
  EXPECT_EQ(RaiseNameEnding(""), "1");
}

TEST(Names, JointEndingsOfFourToOneLeadingZerosAllowed) {
  EXPECT_EQ(RaiseJointNameEnding("Gun0009"), "Gun10");
  EXPECT_EQ(RaiseJointNameEnding("Gun12"), "Gun13");
  EXPECT_EQ(RaiseJointNameEnding("HullA"), "HullA1");
  EXPECT_EQ(RaiseJointNameEnding("12"), "13");
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
