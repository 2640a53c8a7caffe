#include "commands/field_rules.h"

#include <cmath>

#include "commands/field_messages.h"
#include "common/number_parse.h"
#include "common/number_text.h"

namespace gantry {
namespace {

using namespace field_messages;

// The shortest text of a number read from a box: no blanks, no trailing zeros.
std::string ShortText(double value) {
  if (value == 0) return "0";  // no "-0"
  return NumberText(value);
}

}  // namespace

const FieldRule kNumberField{.message = kEnterNumber};
const FieldRule kValidNumberField{.message = kEnterValidNumber};
const FieldRule kAttenuationField{.message = kAttenuationInteger, .whole = true};
const FieldRule kIntegerField{.message = kEnterInteger, .whole = true};
const FieldRule kPositiveField{kEnterNumber, false, 0.0, std::nullopt, kPositiveRange};
const FieldRule kColourField{kEnterNumber, false, 0.0, 255.0, kColourRange};

std::string EnteredFieldText(std::string_view text) { return ShortText(LeadingNumber(text)); }

FieldCheck CheckField(std::string_view text, const FieldRule& rule, Ui& ui) {
  double value = LeadingNumber(text);
  if (!std::isfinite(value)) value = 0;
  if (rule.whole) value = std::trunc(value);
  const std::string shown = ShortText(value);
  if (shown != text) {
    ui.Message(rule.message, Icon::Exclamation);
    return {shown, std::nullopt};
  }
  // Below the range gives 0, above it 255, whatever the range (these are the only two ranges).
  if ((rule.minimum && value < *rule.minimum) || (rule.maximum && value > *rule.maximum)) {
    ui.Message(rule.range_message, Icon::Exclamation);
    return {rule.minimum && value < *rule.minimum ? "0" : "255", std::nullopt};
  }
  return {shown, value};
}

}  // namespace gantry
