// The helpers that ask and tell through the Ui: numbers typed into prompts, failed assertions.
#include "common/prompts.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "common/assert.h"
#include "common/number_parse.h"
#include "support/scripted_ui.h"

namespace gantry {
namespace {

TEST(NumberParse, LeadingNumberReadsWhatStartsTheText) {
  // An exponent without digits ("2e") is not part of the number.
  const std::pair<const char*, double> cases[] = {
      {"  12.5abc", 12.5}, {"-3", -3}, {"+.5", 0.5}, {"1.5E+03x", 1500},
      {"2e", 2},           {"abc", 0}, {".", 0},     {"", 0}};
  for (const auto& [text, value] : cases) EXPECT_EQ(LeadingNumber(text), value) << text;
}

TEST(NumberParse, WholeTextMustBeANumber) {
  for (const char* text : {" 90 ", "-0.25", "1E-05"}) EXPECT_TRUE(IsNumberText(text)) << text;
  for (const char* text : {"12abc", "1 2", "-", "", "1,5"})
    EXPECT_FALSE(IsNumberText(text)) << text;
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
