// How the editor's numeric boxes treat what is typed. Entering a box shows the number read from
// its text; leaving it reads the number at the start of the text (0 when there is none), cuts
// whole-number fields to their whole part, and writes the number back as its shortest text. A
// text that was not already that text is corrected with the field's message and not stored in
// this pass; a value outside the field's range is corrected to the range's edge with the range
// message, likewise not stored. Anything else is stored.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "common/ui.h"

namespace gantry {

struct FieldRule {
  const char* message = nullptr;  // shown when the text is not the number's own text
  bool whole = false;
  // The range and what is shown when the value lies outside it.
  std::optional<double> minimum = std::nullopt;
  std::optional<double> maximum = std::nullopt;
  const char* range_message = nullptr;
};

// The families' rules.
extern const FieldRule kNumberField;       // joints, markers, keyframes, BSRM, BNDV, nav phase
extern const FieldRule kValidNumberField;  // collision, dock, star fields, lights
extern const FieldRule kAttenuationField;  // light attenuation
extern const FieldRule kIntegerField;      // nav-light section
extern const FieldRule kPositiveField;     // nav-light size and distance
extern const FieldRule kColourField;       // nav-light and material colours, 0 to 255

struct FieldCheck {
  // What the box shows afterwards.
  std::string text;
  // The value to store; empty when the box was corrected instead.
  std::optional<double> value;
};

// The text a box shows once entered.
std::string EnteredFieldText(std::string_view text);
// The check made when a box is left.
FieldCheck CheckField(std::string_view text, const FieldRule& rule, Ui& ui);

}  // namespace gantry
