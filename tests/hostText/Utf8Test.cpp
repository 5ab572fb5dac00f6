// The UTF-8 encoding form: what counts as valid text. (Decoding and writing are seen through
// the conversions built on them: Utf16Test, ModifiedUtf8Test.)
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
  // The valid part ends at the first byte that starts no character.
  EXPECT_EQ(wellFormedUtf8Length("caf\xE9 cr\xE8me"), 3u); // cp1252 e-acute
  EXPECT_EQ(wellFormedUtf8Length("ab\xE2\x82"), 2u);
  EXPECT_EQ(wellFormedUtf8Length("a\xED\xA0\x80"), 1u);
}
