#include "common/number_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "common/number_parse.h"

namespace gantry {
namespace {

TEST(NumberText, SinglesShowSevenDigitsPlainOrWithAnExponent) {
  using F = std::numeric_limits<float>;
  // clang-format off
  const std::pair<float, const char*> cases[] = {
      {90.f, "90"}, {-2.5f, "-2.5"}, {123.456f, "123.456"}, {0.f, "0"}, {-0.f, "0"},
      {0.1f, "0.1"}, {3.14159265f, "3.141593"},  // seven digits, not the binary expansion
      // Plain down to 1E-04, the zeros after the point counted among the seven digits.
      {0.0001234f, "0.0001234"}, {0.00012345f, "1.2345E-04"}, {0.000012f, "1.2E-05"},
      {0.0383064f, "0.0383064"}, {0.03830641f, "3.830641E-02"}, {-0.001293777f, "-1.293777E-03"},
      {1234567.f, "1234567"}, {12345678.f, "1.234568E+07"}, {10000000.f, "1E+07"},
      // Rounding may carry into a new digit: singles just below a power of ten print short.
      {9999999.5f, "1E+07"}, {1.9999999f, "2"}, {0.01f, "0.01"}, {-0.0001f, "-0.0001"},
      {-0.00001f, "-1E-05"}, {std::nextafter(1.f, 0.f), "0.9999999"},
      {F::min(), "1.175494E-38"}, {F::denorm_min(), "1.401298E-45"},
      {F::lowest(), "-3.402823E+38"}, {F::quiet_NaN(), "NaN"}, {-F::infinity(), "-Inf"}};
  // clang-format on
  for (const auto& [value, text] : cases) EXPECT_EQ(NumberText(value), text) << text;
}

TEST(NumberText, DoublesShowFifteenDigitsAndThreeDigitExponents) {
  using D = std::numeric_limits<double>;
  // clang-format off
  const std::pair<double, const char*> cases[] = {
      {0.1, "0.1"}, {1.0 / 3, "0.333333333333333"}, {2.0 / 3, "0.666666666666667"}, {-0.0, "0"},
      {123456789012345.0, "123456789012345"}, {1e15, "1E+15"},
      {12345678.0, "12345678"},  // exponent form for a single
      {0.00001, "1E-05"}, {0.012345678901234, "0.012345678901234"},
      {0.0123456789012345, "1.23456789012345E-02"},
      {999999999999999.9, "1E+15"}, {0.9999999999999999, "1"}, {99999.99999999999, "100000"},
      {1e-300, "1E-300"}, {1.5e300, "1.5E+300"}, {D::quiet_NaN(), "NaN"}, {-D::infinity(), "-Inf"}};
  // clang-format on
  for (const auto& [value, text] : cases) EXPECT_EQ(NumberText(value), text) << text;
  EXPECT_EQ(NumberText(-42), "-42");
  EXPECT_EQ(NumberText(std::uint32_t{4294967295u}), "4294967295");
}

TEST(NumberText, DecimalPointIgnoresTheLocale) {
  // Only meaningful where a comma locale is installed (named the POSIX or the Windows way); the
  // C locale still exercises the path.
  const char* previous = std::setlocale(LC_NUMERIC, nullptr);
  const std::string saved = previous ? previous : "C";
  bool switched = false;
  for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "German_Germany.1252", "de-DE"}) {
    if (std::setlocale(LC_NUMERIC, name) != nullptr) {
      switched = std::string(std::localeconv()->decimal_point) == ",";
      break;
    }
  }
  EXPECT_EQ(NumberText(-2.5f), "-2.5");
  EXPECT_EQ(NumberText(0.03830641f), "3.830641E-02");
  EXPECT_EQ(NumberText(1.0 / 3), "0.333333333333333");
  // Typed and script numbers are read with "." as well.
  EXPECT_EQ(LeadingNumber("2.5e1"), 25);
  EXPECT_EQ(LeadingNumber("1,5"), 1);
  EXPECT_TRUE(IsNumberText(" -0.125 "));
  std::setlocale(LC_NUMERIC, saved.c_str());
  if (!switched) GTEST_SKIP() << "no comma locale installed";
}

}  // namespace
}  // namespace gantry
