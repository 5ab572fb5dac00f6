// UTF-8 <-> UTF-16: the characters of ordinary folder names, the four-byte forms, Windows
// names with lone surrogates, and malformed input.
#include "hostText/Utf16.h"

#include <gtest/gtest.h>

using namespace vantrel::hostText;

TEST(Utf16, ConvertsBothWaysCharactersOfEveryLength) {
  struct Case {
    std::string utf8;
    std::u16string utf16;
  };
  const Case cases[] = {
      {"", u""},
      {"C:\\Proj v2\\top.sof", u"C:\\Proj v2\\top.sof"},
      {"\xC3\x89t\xC3\xA9 \xE2\x82\xAC", u"\u00C9t\u00E9 \u20AC"},   // Été €
      {"\xD0\x96 \xE6\x97\xA5\xE6\x9C\xAC", u"\u0416 \u65E5\u672C"}, // Ж 日本
      {"\xF0\x9F\x98\x80", u"\xD83D\xDE00"},                         // U+1F600, a pair
      {"\xF4\x8F\xBF\xBF", u"\xDBFF\xDFFF"},                         // U+10FFFF
      {"\xED\xA0\x80x", std::u16string(1, u'\xD800') + u"x"},        // lone surrogate
  };
  for (const Case &c : cases) {
    EXPECT_EQ(utf8ToUtf16(c.utf8), c.utf16) << c.utf8;
    EXPECT_EQ(utf16ToUtf8(c.utf16), c.utf8) << c.utf8;
  }
}

TEST(Utf16, MalformedBytesBecomeReplacementCharacters) {
  // A stray continuation byte, an overlong slash, a cut sequence, a value past U+10FFFF.
  EXPECT_EQ(utf8ToUtf16("a\x80z"), u"a\uFFFDz");
  EXPECT_EQ(utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");
  EXPECT_EQ(utf8ToUtf16("ab\xE2\x82"), u"ab\uFFFD\uFFFD");
  EXPECT_EQ(utf8ToUtf16("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");
}
