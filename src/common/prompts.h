// Numeric questions asked through Ui: an empty answer or Cancel ends the command (nullopt); an
// answer that is not a number, or a zero where zero is refused, is asked again.
#pragma once

#include <optional>
#include <string_view>

#include "common/ui.h"

namespace gantry {

enum class ZeroAnswer { Allowed, AskedAgain };

std::optional<double> AskNumber(Ui& ui, std::string_view prompt, std::string_view initial,
                                ZeroAnswer zero = ZeroAnswer::Allowed);

struct Triple {
  double x = 0, y = 0, z = 0;
};

// Three questions in a row; nullopt as soon as one is cancelled.
std::optional<Triple> AskThreeNumbers(Ui& ui, std::string_view prompt_x, std::string_view prompt_y,
                                      std::string_view prompt_z, std::string_view initial,
                                      ZeroAnswer zero = ZeroAnswer::Allowed);

}  // namespace gantry
