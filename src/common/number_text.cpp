#include "common/number_text.h"

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

namespace gantry {
namespace {

// Formats `value` rounded to `precision` significant digits. to_chars is used because it is
// correctly rounded and never consults the locale, so "." stays the decimal point.
std::string Format(double value, int precision) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value < 0 ? "-Inf" : "Inf";
  if (value == 0) return "0";  // also -0, which would otherwise keep its sign

  char buffer[64];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value,
                                          std::chars_format::scientific, precision - 1);
  if (error != std::errc()) return "NaN";  // cannot happen with this buffer size

  // buffer holds "[-]d[.ddd]e(+|-)xx"; split it into sign, digits and exponent.
  const char* p = buffer;
  const bool negative = *p == '-';
  if (negative) ++p;
  std::string digits;
  for (; p != end && *p != 'e'; ++p) {
    if (*p != '.') digits.push_back(*p);
  }
  int exponent = 0;
  if (p != end) std::from_chars(p + 2, end, exponent);  // skip "e" and its sign
  if (p != end && p[1] == '-') exponent = -exponent;

  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  const int d = static_cast<int>(digits.size());

  std::string out;
  if (negative) out.push_back('-');
  const bool plain =
      exponent > -5 && exponent < precision && (exponent >= 0 || -exponent - 1 + d <= precision);
  if (plain) {
    if (exponent < 0) {
      out += "0.";
      out.append(-exponent - 1, '0');
      out += digits;
    } else if (d <= exponent + 1) {
      out += digits;
      out.append(exponent + 1 - d, '0');
    } else {
      out.append(digits, 0, exponent + 1);
      out.push_back('.');
      out.append(digits, exponent + 1);
    }
    return out;
  }

  out.push_back(digits[0]);
  if (d > 1) {
    out.push_back('.');
    out.append(digits, 1);
  }
  out.push_back('E');
  out.push_back(exponent < 0 ? '-' : '+');
  const int magnitude = exponent < 0 ? -exponent : exponent;
  if (magnitude < 10) out.push_back('0');
  out += std::to_string(magnitude);
  return out;
}

}  // namespace

std::string NumberText(float value) { return Format(static_cast<double>(value), 7); }

std::string NumberText(double value) { return Format(value, 15); }

}  // namespace gantry
