#include "common/prompts.h"

#include "common/number_parse.h"

namespace gantry {

std::optional<double> AskNumber(Ui& ui, std::string_view prompt, std::string_view initial,
                                ZeroAnswer zero) {
  for (;;) {
    const std::optional<std::string> answer = ui.Input(prompt, initial);
    if (!answer || answer->empty()) return std::nullopt;
    if (!IsNumberText(*answer)) continue;
    const double value = LeadingNumber(*answer);
    if (value == 0 && zero == ZeroAnswer::AskedAgain) continue;
    return value;
  }
}

std::optional<Triple> AskThreeNumbers(Ui& ui, std::string_view prompt_x, std::string_view prompt_y,
                                      std::string_view prompt_z, std::string_view initial,
                                      ZeroAnswer zero) {
  Triple t;
  const auto x = AskNumber(ui, prompt_x, initial, zero);
  if (!x) return std::nullopt;
  const auto y = AskNumber(ui, prompt_y, initial, zero);
  if (!y) return std::nullopt;
  const auto z = AskNumber(ui, prompt_z, initial, zero);
  if (!z) return std::nullopt;
  t.x = *x;
  t.y = *y;
  t.z = *z;
  return t;
}

}  // namespace gantry
