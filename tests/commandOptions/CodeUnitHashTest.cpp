// Tests of the code-unit string hash and the code units it is taken over.
#include "commandOptions/CodeUnitHash.h"

#include <gtest/gtest.h>

namespace vantrel::commandOptions {
namespace {

TEST(CodeUnitHash, PolynomialOverAsciiUnits) {
  EXPECT_EQ(codeUnitHash(""), 0u);
  EXPECT_EQ(codeUnitHash("a"), 97u);
  EXPECT_EQ(codeUnitHash("ab"), 97u * 31u + 98u);
  // Known values of the polynomial: "hello" = 99162322, "--help" wraps modulo 2^32.
  EXPECT_EQ(codeUnitHash("hello"), 99162322u);
  EXPECT_EQ(codeUnitHash("--help"), 1333069025u);
}

TEST(CodeUnitHash, FoldMixesTheHighHalfIntoTheLow) {
  const std::uint32_t h = codeUnitHash("--programmingmode");
  EXPECT_EQ(foldedHash("--programmingmode"), h ^ (h >> 16));
  EXPECT_EQ(foldedHash("a"), 97u);
}

TEST(CodeUnitHash, ValidUtf8IsHashedAsUtf16Units) {
  // U+00E9 is one unit 0xE9 (two bytes in UTF-8).
  EXPECT_EQ(toCodeUnits("\xC3\xA9"), (std::vector<std::uint16_t>{0xE9}));
  EXPECT_EQ(codeUnitHash("\xC3\xA9"), 0xE9u);
  // U+20AC is one unit.
  EXPECT_EQ(toCodeUnits("\xE2\x82\xAC"), (std::vector<std::uint16_t>{0x20AC}));
  // U+1F600 is a surrogate pair.
  EXPECT_EQ(toCodeUnits("\xF0\x9F\x98\x80"), (std::vector<std::uint16_t>{0xD83D, 0xDE00}));
}

TEST(CodeUnitHash, InvalidUtf8CountsEveryByteAsOneUnit) {
  // A lone Latin-1 byte, a truncated sequence, an overlong form and an encoded surrogate.
  EXPECT_EQ(toCodeUnits("a\xE9"), (std::vector<std::uint16_t>{0x61, 0xE9}));
  EXPECT_EQ(toCodeUnits("\xE2\x82"), (std::vector<std::uint16_t>{0xE2, 0x82}));
  EXPECT_EQ(toCodeUnits("\xC0\xAF"), (std::vector<std::uint16_t>{0xC0, 0xAF}));
  EXPECT_EQ(toCodeUnits("\xED\xA0\x80"), (std::vector<std::uint16_t>{0xED, 0xA0, 0x80}));
  EXPECT_EQ(codeUnitHash("\xE9"), 0xE9u);
}

} // namespace
} // namespace vantrel::commandOptions
