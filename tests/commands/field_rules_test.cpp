#include "commands/field_rules.h"

#include <gtest/gtest.h>

#include <tuple>

#include "support/scripted_ui.h"

namespace gantry {
namespace {

using testing::ScriptedUi;

// A valid text is stored as typed. Any other is corrected (trailing zeros, blanks, letters, a
// fraction in a whole field, a value past an edge of the range), with the family's message, and
// nothing is stored.
TEST(FieldRules, CorrectionsAreShownAndNotStored) {
  ScriptedUi ui;
  EXPECT_EQ(CheckField("1.5", kNumberField, ui).value, 1.5);
  EXPECT_EQ(CheckField("-0.25", kValidNumberField, ui).value, -0.25);
  EXPECT_EQ(CheckField("0", kPositiveField, ui).value, 0.0);
  EXPECT_EQ(CheckField("255", kColourField, ui).value, 255.0);
  EXPECT_TRUE(ui.messages.empty());

  const char* colours = "Value is out of range. Please enter a value between 0 to 255";
  const std::tuple<const char*, const FieldRule*, const char*, const char*> corrected[] = {
      {"1.50", &kNumberField, "1.5", "Please enter a number"},
      {" 2", &kValidNumberField, "2", "Please enter a valid number"},
      {"abc", &kNumberField, "0", "Please enter a number"},
      {"3.7", &kIntegerField, "3", "Please enter a integer"},
      {"2.5", &kAttenuationField, "2", "Attenuation needs to be a integer"},
      {"300", &kColourField, "255", colours},
      {"-4", &kColourField, "0", colours},
      {"-1", &kPositiveField, "0", "Value is out of range. Please enter a positive number."}};
  for (const auto& [typed, kind, shown, message] : corrected) {
    ScriptedUi said;
    const FieldCheck check = CheckField(typed, *kind, said);
    EXPECT_EQ(std::tuple(check.text, check.value.has_value(), said.MessageTexts(),
                         said.messages.at(0).icon),
              std::tuple(shown, false, std::vector<std::string>{message}, Icon::Exclamation))
        << typed;
  }
}

TEST(FieldRules, EnteringShowsTheNumberRead) {
  EXPECT_EQ(
      std::tuple(EnteredFieldText("  12.50xyz"), EnteredFieldText("xyz"), EnteredFieldText("-0")),
      std::tuple("12.5", "0", "0"));
}

}  // namespace
}  // namespace gantry
