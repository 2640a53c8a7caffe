// The program's one way of turning numbers into text (debug log, OBJ files, HOD scripts).
// Singles get 7 significant digits, doubles 15; trailing zeros go, "." is always the decimal
// point, and very small or very large magnitudes switch to exponent notation ("1E-05",
// "1.234568E+07").
#pragma once

#include <concepts>
#include <string>

namespace gantry {

std::string NumberText(float value);
std::string NumberText(double value);

template <std::integral T>
std::string NumberText(T value) {
  return std::to_string(value);
}

}  // namespace gantry
