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

TEST(NumberTextSingle, PlainForOrdinaryValues) {
  EXPECT_EQ(NumberText(90.f), "90");
  EXPECT_EQ(NumberText(0.5f), "0.5");
  EXPECT_EQ(NumberText(-2.5f), "-2.5");
  EXPECT_EQ(NumberText(1.f), "1");
  EXPECT_EQ(NumberText(123.456f), "123.456");
}

TEST(NumberTextSingle, ShowsSevenDigitsNotTheBinaryExpansion) {
  EXPECT_EQ(NumberText(0.1f), "0.1");
  EXPECT_EQ(NumberText(0.3f), "0.3");
  EXPECT_EQ(NumberText(3.14159265f), "3.141593");
}

TEST(NumberTextSingle, ZeroHasNoSign) {
  EXPECT_EQ(NumberText(0.f), "0");
  EXPECT_EQ(NumberText(-0.f), "0");
}

TEST(NumberTextSingle, SmallExponentBoundary) {
  EXPECT_EQ(NumberText(0.0001f), "0.0001");
  EXPECT_EQ(NumberText(0.0001234f), "0.0001234");
  EXPECT_EQ(NumberText(0.00012345f), "1.2345E-04");
  EXPECT_EQ(NumberText(0.00001f), "1E-05");
  EXPECT_EQ(NumberText(0.000012f), "1.2E-05");
  EXPECT_EQ(NumberText(-0.00001f), "-1E-05");
}

TEST(NumberTextSingle, LeadingZerosCountAgainstTheDigitBudget) {
  // Zeros between the point and the first digit count toward the seven.
  EXPECT_EQ(NumberText(0.0383064f), "0.0383064");
  EXPECT_EQ(NumberText(0.03830641f), "3.830641E-02");
  EXPECT_EQ(NumberText(0.1234567f), "0.1234567");
  EXPECT_EQ(NumberText(-0.001293777f), "-1.293777E-03");
  EXPECT_EQ(NumberText(0.0012938f), "0.0012938");
  EXPECT_EQ(NumberText(0.00129377f), "1.29377E-03");
}

TEST(NumberTextSingle, LargeExponentBoundary) {
  EXPECT_EQ(NumberText(1234567.f), "1234567");
  EXPECT_EQ(NumberText(1000000.f), "1000000");
  EXPECT_EQ(NumberText(12345678.f), "1.234568E+07");
  EXPECT_EQ(NumberText(10000000.f), "1E+07");
  EXPECT_EQ(NumberText(-12345678.f), "-1.234568E+07");
  EXPECT_EQ(NumberText(1.0e10f), "1E+10");
  EXPECT_EQ(NumberText(3.4028235e38f), "3.402823E+38");
}

TEST(NumberTextSingle, RoundingCanCarryIntoANewDigit) {
  EXPECT_EQ(NumberText(9999999.5f), "1E+07");
  EXPECT_EQ(NumberText(1.9999999f), "2");
  // These singles lie just below their powers of ten; only the carry makes them print short.
  EXPECT_EQ(NumberText(0.01f), "0.01");
  EXPECT_EQ(NumberText(0.0001f), "0.0001");
  EXPECT_EQ(NumberText(0.00001f), "1E-05");
  EXPECT_EQ(NumberText(-0.0001f), "-0.0001");
  // The largest single below 1 keeps its last digit rather than rounding up.
  EXPECT_EQ(NumberText(std::nextafter(1.f, 0.f)), "0.9999999");
}

TEST(NumberTextSingle, ExtremeMagnitudes) {
  EXPECT_EQ(NumberText(std::numeric_limits<float>::min()), "1.175494E-38");
  EXPECT_EQ(NumberText(std::numeric_limits<float>::denorm_min()), "1.401298E-45");
  EXPECT_EQ(NumberText(std::numeric_limits<float>::lowest()), "-3.402823E+38");
}

TEST(NumberTextSingle, NonFinite) {
  EXPECT_EQ(NumberText(std::numeric_limits<float>::quiet_NaN()), "NaN");
  EXPECT_EQ(NumberText(std::numeric_limits<float>::infinity()), "Inf");
  EXPECT_EQ(NumberText(-std::numeric_limits<float>::infinity()), "-Inf");
}

TEST(NumberTextDouble, FifteenDigits) {
  EXPECT_EQ(NumberText(0.1), "0.1");
  EXPECT_EQ(NumberText(1.0 / 3), "0.333333333333333");
  EXPECT_EQ(NumberText(2.0 / 3), "0.666666666666667");
  EXPECT_EQ(NumberText(-2.5), "-2.5");
  EXPECT_EQ(NumberText(0.0), "0");
  EXPECT_EQ(NumberText(-0.0), "0");
}

TEST(NumberTextDouble, BoundariesMoveWithThePrecision) {
  EXPECT_EQ(NumberText(123456789012345.0), "123456789012345");
  EXPECT_EQ(NumberText(1e15), "1E+15");
  EXPECT_EQ(NumberText(12345678.0), "12345678");  // exponent form for a single
  EXPECT_EQ(NumberText(0.0001), "0.0001");
  EXPECT_EQ(NumberText(0.00001), "1E-05");
  EXPECT_EQ(NumberText(0.012345678901234), "0.012345678901234");
  EXPECT_EQ(NumberText(0.0123456789012345), "1.23456789012345E-02");
}

TEST(NumberTextDouble, RoundingCanCarryIntoExponentForm) {
  EXPECT_EQ(NumberText(999999999999999.9), "1E+15");
  EXPECT_EQ(NumberText(0.9999999999999999), "1");
  EXPECT_EQ(NumberText(99999.99999999999), "100000");
}

TEST(NumberTextDouble, ThreeDigitExponents) {
  EXPECT_EQ(NumberText(1e-300), "1E-300");
  EXPECT_EQ(NumberText(1.5e300), "1.5E+300");
  EXPECT_EQ(NumberText(1e100), "1E+100");
}

TEST(NumberTextDouble, NonFinite) {
  EXPECT_EQ(NumberText(std::numeric_limits<double>::quiet_NaN()), "NaN");
  EXPECT_EQ(NumberText(std::numeric_limits<double>::infinity()), "Inf");
  EXPECT_EQ(NumberText(-std::numeric_limits<double>::infinity()), "-Inf");
}

TEST(NumberTextInteger, PrintsAllDigits) {
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
