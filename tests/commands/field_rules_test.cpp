#include "commands/field_rules.h"

#include <gtest/gtest.h>

#include "support/scripted_ui.h"

namespace gantry {
namespace {

using testing::ScriptedUi;

TEST(FieldRules, CorrectionsAreShownAndNotStored) {
  ScriptedUi ui;
  // A valid text is stored as typed.
  EXPECT_EQ(CheckField("1.5", kNumberField, ui).value, 1.5);
  EXPECT_EQ(CheckField("-0.25", kValidNumberField, ui).value, -0.25);
  EXPECT_TRUE(ui.messages.empty());

  // Trailing zeros, blanks, letters: corrected, with the family's message, nothing stored.
  FieldCheck check = CheckField("1.50", kNumberField, ui);
  EXPECT_EQ(check.text, "1.5");
  EXPECT_FALSE(check.value);
  check = CheckField(" 2", kValidNumberField, ui);
  EXPECT_EQ(check.text, "2");
  check = CheckField("abc", kNumberField, ui);
  EXPECT_EQ(check.text, "0");
  check = CheckField("3.7", kIntegerField, ui);
  EXPECT_EQ(check.text, "3");
  EXPECT_FALSE(check.value);
  check = CheckField("2.5", kAttenuationField, ui);
  EXPECT_EQ(ui.MessageTexts(),
            (std::vector<std::string>{"Please enter a number", "Please enter a valid number",
                                      "Please enter a number", "Please enter a integer",
                                      "Attenuation needs to be a integer"}));
  EXPECT_EQ(ui.messages[0].icon, Icon::Exclamation);
}

TEST(FieldRules, RangesCorrectToTheirEdges) {
  ScriptedUi ui;
  FieldCheck check = CheckField("300", kColourField, ui);
  EXPECT_EQ(check.text, "255");
  EXPECT_FALSE(check.value);
  check = CheckField("-4", kColourField, ui);
  EXPECT_EQ(check.text, "0");
  check = CheckField("-1", kPositiveField, ui);
  EXPECT_EQ(check.text, "0");
  EXPECT_FALSE(check.value);
  EXPECT_EQ(ui.MessageTexts().back(), "Value is out of range. Please enter a positive number.");
  ui.messages.clear();
  EXPECT_EQ(CheckField("0", kPositiveField, ui).value, 0.0);
  EXPECT_EQ(CheckField("255", kColourField, ui).value, 255.0);
  EXPECT_TRUE(ui.messages.empty());
}

TEST(FieldRules, EnteringShowsTheNumberRead) {
  EXPECT_EQ(EnteredFieldText("  12.50xyz"), "12.5");
  EXPECT_EQ(EnteredFieldText("xyz"), "0");
  EXPECT_EQ(EnteredFieldText("-0"), "0");
}

}  // namespace
}  // namespace gantry
