// Reading numbers that people type or scripts hold.
//   LeadingNumber: the number at the start of a text (blanks skipped; reading stops at the first
//     character that cannot continue a decimal number; a text that starts with no number is 0).
//   IsNumberText: the whole text (apart from surrounding blanks) is one number.
// Both take "." as the decimal point whatever the locale, and accept an exponent ("1.5E+03").
#pragma once

#include <string_view>

namespace gantry {

double LeadingNumber(std::string_view text);
bool IsNumberText(std::string_view text);

}  // namespace gantry
