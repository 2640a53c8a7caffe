#include "commands/field_rules.h"

#include <gtest/gtest.h>

#include <tuple>

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
  const std::tuple<const char*, const FieldRule*, const char*> corrected[] = {
      {"1.50", &kNumberField, "1.5"},
      {" 2", &kValidNumberField, "2"},
      {"abc", &kNumberField, "0"},
      {"3.7", &kIntegerField, "3"}};
  for (const auto& [typed, kind, shown] : corrected) {
    const FieldCheck check = CheckField(typed, *kind, ui);
    EXPECT_EQ(std::tuple(check.text, check.value.has_value()), std::tuple(shown, false)) << typed;
  }
  CheckField("2.5", kAttenuationField, ui);
  EXPECT_EQ(ui.MessageTexts(),
            (std::vector<std::string>{"Please enter a number", "Please enter a valid number",
                                      "Please enter a number", "Please enter a integer",
                                      "Attenuation needs to be a integer"}));
  EXPECT_EQ(ui.messages[0].icon, Icon::Exclamation);
}

TEST(FieldRules, RangesCorrectToTheirEdges) {
  ScriptedUi ui;
  const std::tuple<const char*, const FieldRule*, const char*> corrected[] = {
      {"300", &kColourField, "255"}, {"-4", &kColourField, "0"}, {"-1", &kPositiveField, "0"}};
  for (const auto& [typed, kind, shown] : corrected) {
    const FieldCheck check = CheckField(typed, *kind, ui);
    EXPECT_EQ(std::tuple(check.text, check.value.has_value()), std::tuple(shown, false)) << typed;
  }
  EXPECT_EQ(ui.MessageTexts().back(), "Value is out of range. Please enter a positive number.");
  ui.messages.clear();
  EXPECT_EQ(CheckField("0", kPositiveField, ui).value, 0.0);
  EXPECT_EQ(CheckField("255", kColourField, ui).value, 255.0);
  EXPECT_TRUE(ui.messages.empty());
}

TEST(FieldRules, EnteringShowsTheNumberRead) {
  EXPECT_EQ(
      std::tuple(EnteredFieldText("  12.50xyz"), EnteredFieldText("xyz"), EnteredFieldText("-0")),
      std::tuple("12.5", "0", "0"));
}

}  // namespace
}  // namespace gantry
