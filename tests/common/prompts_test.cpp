#include "common/prompts.h"

#include <gtest/gtest.h>

#include "common/number_parse.h"
#include "support/scripted_ui.h"

namespace gantry {
namespace {

TEST(NumberParse, LeadingNumberReadsWhatStartsTheText) {
  EXPECT_EQ(LeadingNumber("  12.5abc"), 12.5);
  EXPECT_EQ(LeadingNumber("-3"), -3);
  EXPECT_EQ(LeadingNumber("+.5"), 0.5);
  EXPECT_EQ(LeadingNumber("1.5E+03x"), 1500);
  EXPECT_EQ(LeadingNumber("2e"), 2);  // an exponent without digits is not part of the number
  EXPECT_EQ(LeadingNumber("abc"), 0);
  EXPECT_EQ(LeadingNumber("."), 0);
  EXPECT_EQ(LeadingNumber(""), 0);
}

TEST(NumberParse, WholeTextMustBeANumber) {
  EXPECT_TRUE(IsNumberText(" 90 "));
  EXPECT_TRUE(IsNumberText("-0.25"));
  EXPECT_TRUE(IsNumberText("1E-05"));
  EXPECT_FALSE(IsNumberText("12abc"));
  EXPECT_FALSE(IsNumberText("1 2"));
  EXPECT_FALSE(IsNumberText("-"));
  EXPECT_FALSE(IsNumberText(""));
  EXPECT_FALSE(IsNumberText("1,5"));
}

TEST(Prompts, NonNumbersAndRefusedZerosAreAskedAgainEmptyCancels) {
  testing::ScriptedUi ui;
  ui.inputs = {"abc", "0", "2.5"};
  EXPECT_EQ(AskNumber(ui, "X Scale", "1", ZeroAnswer::AskedAgain), 2.5);
  EXPECT_EQ(ui.prompts, (std::vector<std::string>{"X Scale", "X Scale", "X Scale"}));

  ui.inputs = {"0"};
  EXPECT_EQ(AskNumber(ui, "X", "0"), 0);

  ui.inputs = {"1", "", "3"};
  EXPECT_FALSE(AskThreeNumbers(ui, "X", "Y", "Z", "0"));
  EXPECT_EQ(ui.inputs.size(), 1u);  // the third question was never asked

  ui.inputs = {"1", "2", "3"};
  const auto t = AskThreeNumbers(ui, "X", "Y", "Z", "0");
  ASSERT_TRUE(t);
  EXPECT_EQ(t->z, 3);
}

}  // namespace
}  // namespace gantry
