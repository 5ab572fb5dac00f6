// The UTF-8 encoding form: what counts as valid text, and the value and length of one
// sequence, well formed or not.
#include "hostText/Utf8.h"

#include <gtest/gtest.h>

using namespace vantrel::hostText;

TEST(Utf8, ValidityFollowsTheEncodingForm) {
  EXPECT_TRUE(isValidUtf8("\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80 \xEF\xBF\xBD"));
  EXPECT_TRUE(isValidUtf8("\xF4\x8F\xBF\xBF"));  // U+10FFFF, the last code point
  EXPECT_FALSE(isValidUtf8("\xF4\x90\x80\x80")); // U+110000
  EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));     // a surrogate
  EXPECT_FALSE(isValidUtf8("\xC0\xAF"));         // overlong
  EXPECT_FALSE(isValidUtf8("\xE2\x82"));         // cut short
  EXPECT_FALSE(isValidUtf8("\xFF"));
}

TEST(Utf8, OneSequenceDecodesToItsValueOrToOneReplacedByte) {
  struct Case {
    const char *text;
    char32_t value;
    std::size_t length;
    bool wellFormed;
  };
  const Case cases[] = {
      {"A", U'A', 1, true},
      {"\xC3\xA9", 0xE9, 2, true},
      {"\xF4\x8F\xBF\xBF", 0x10FFFF, 4, true},
      {"\xED\xA0\x80", 0xD800, 3, true}, // a Windows name's lone surrogate survives
      {"\x80", 0xFFFD, 1, false},
      {"\xE2\x82", 0xFFFD, 1, false},
      {"\xE0\x80\x80", 0xFFFD, 1, false},
      {"\xF8\x88\x80\x80\x80", 0xFFFD, 1, false},
  };
  for (const Case &c : cases) {
    const Utf8Character got = decodeUtf8Character(c.text, 0);
    EXPECT_EQ(got.value, c.value) << c.text;
    EXPECT_EQ(got.length, c.length) << c.text;
    EXPECT_EQ(got.wellFormed, c.wellFormed) << c.text;
  }
}
