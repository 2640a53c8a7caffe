// JSON output is UTF-8 on both platforms: a UTF-8 path passes once, game texts convert from code
// page 1252 (the euro and trademark signs are not Latin-1).
#include "common/text_encoding.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

namespace gantry {
namespace {

TEST(TextEncoding, Cp1252BecomesUtf8) {
  EXPECT_EQ(Cp1252ToUtf8("Z\xfcrich \x80\x99"), "Z\xc3\xbcrich \xe2\x82\xac\xe2\x84\xa2");
  EXPECT_EQ(Cp1252ToUtf8("\x81\x8d"), "\xc2\x81\xc2\x8d");  // undefined: kept as their codes
  EXPECT_EQ(Cp1252ToUtf8("plain"), "plain");
}

TEST(TextEncoding, Utf8ComesBackAsCp1252) {
  std::string every(256, '\0');
  for (int b = 0; b < 256; ++b) every[static_cast<std::size_t>(b)] = static_cast<char>(b);
  EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(every)), every);
  // U+0080 (no byte of the code page stands for it), U+0100, a smiley, a cut sequence (a mark
  // for each byte) and a lone continuation byte.
  EXPECT_EQ(Utf8ToCp1252("\xc2\x80|\xc4\x80|\xf0\x9f\x98\x80|\xe2\x82|\x80"), "?|?|?|??|?");
}

TEST(TextEncoding, NarrowTextsBecomeUtf8Once) {
#ifdef _WIN32
  // The ANSI code page; Wine and Windows in Western Europe and America use 1252.
  if (GetACP() != 1252) GTEST_SKIP() << "the test texts are code page 1252";
  EXPECT_EQ(NarrowToUtf8("Z\xfcrich\x80\x99"), "Z\xc3\xbcrich\xe2\x82\xac\xe2\x84\xa2");
#else
  EXPECT_EQ(NarrowToUtf8("Z\xc3\xbcrich\xe2\x82\xac"), "Z\xc3\xbcrich\xe2\x82\xac");
  EXPECT_EQ(NarrowToUtf8("Z\xfcrich\x80\x99"), "Z\xc3\xbcrich\xe2\x82\xac\xe2\x84\xa2");
  // Overlong forms and surrogates are no UTF-8: read as single bytes.
  EXPECT_EQ(NarrowToUtf8("\xc0\xaf"), "\xc3\x80\xc2\xaf");
  EXPECT_EQ(NarrowToUtf8("\xed\xa0\x80"), "\xc3\xad\xc2\xa0\xe2\x82\xac");
  EXPECT_EQ(NarrowToUtf8("cut \xc3"), "cut \xc3\x83");
#endif
}

}  // namespace
}  // namespace gantry
