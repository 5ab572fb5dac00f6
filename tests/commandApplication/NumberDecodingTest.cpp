// Tests of integer decoding: signs, radix prefixes, octal, the 64-bit range, refusals.
#include "commandApplication/NumberDecoding.h"

#include <gtest/gtest.h>

namespace vantrel::commandApplication {
namespace {

TEST(NumberDecoding, DecimalAndSigns) {
  EXPECT_EQ(decodeInteger("0"), 0);
  EXPECT_EQ(decodeInteger("-0"), 0);
  EXPECT_EQ(decodeInteger("123"), 123);
  EXPECT_EQ(decodeInteger("+123"), 123);
  EXPECT_EQ(decodeInteger("-123"), -123);
  EXPECT_EQ(decodeInteger("-1"), -1);
}

TEST(NumberDecoding, HexadecimalPrefixes) {
  EXPECT_EQ(decodeInteger("0x20000"), 0x20000);
  EXPECT_EQ(decodeInteger("0XfF"), 255);
  EXPECT_EQ(decodeInteger("#ff"), 255);
  EXPECT_EQ(decodeInteger("-0x10"), -16);
  EXPECT_EQ(decodeInteger("-#10"), -16);
  EXPECT_EQ(decodeInteger("0x0"), 0);
}

TEST(NumberDecoding, LeadingZeroMeansOctal) {
  EXPECT_EQ(decodeInteger("010"), 8);
  EXPECT_EQ(decodeInteger("00"), 0);
  EXPECT_EQ(decodeInteger("-017"), -15);
  EXPECT_EQ(decodeInteger("08"), std::nullopt);
  EXPECT_EQ(decodeInteger("09"), std::nullopt);
}

TEST(NumberDecoding, SixtyFourBitRange) {
  EXPECT_EQ(decodeInteger("9223372036854775807"), INT64_MAX);
  EXPECT_EQ(decodeInteger("-9223372036854775808"), INT64_MIN);
  EXPECT_EQ(decodeInteger("0x7fffffffffffffff"), INT64_MAX);
  EXPECT_EQ(decodeInteger("-0x8000000000000000"), INT64_MIN);
  EXPECT_EQ(decodeInteger("-01000000000000000000000"), INT64_MIN);
  EXPECT_EQ(decodeInteger("9223372036854775808"), std::nullopt);
  EXPECT_EQ(decodeInteger("-9223372036854775809"), std::nullopt);
  EXPECT_EQ(decodeInteger("0x8000000000000000"), std::nullopt);
  EXPECT_EQ(decodeInteger("99999999999999999999999"), std::nullopt);
}

TEST(NumberDecoding, Refusals) {
  for (const char *text :
       {"",    "-",    "+",   "0x",  "-0x", "#",   "--1", "+-1",      "-+1",   " 5",   "5 ",
        "1 2", "0x-1", "#-1", "0-1", "1e3", "0xg", "12a", "\xD9\xA1", "0b101", "1_000"}) {
    EXPECT_EQ(decodeInteger(text), std::nullopt) << "'" << text << "'";
  }
}

} // namespace
} // namespace vantrel::commandApplication
