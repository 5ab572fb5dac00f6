// Modified UTF-8 <-> standard UTF-8: the texts the launcher and the runtime hand a native
// main through the JNI, and what the main's argument decoding makes of them.
#include "hostText/ModifiedUtf8.h"

#include <gtest/gtest.h>

using vantrel::hostText::toModifiedUtf8;
using vantrel::hostText::toStandardUtf8;

TEST(ModifiedUtf8, BothDirections) {
  struct Case {
    std::string standard;
    std::string modified;
  };
  const Case cases[] = {
      {"", ""},
      {"in.sof", "in.sof"},
      // Characters of one to three bytes are the same in both forms.
      {"gr\xc3\xb6\xc3\x9f"
       "e \xe2\x82\xac \xd0\x96 \xe6\x97\xa5\xe6\x9c\xac",
       "gr\xc3\xb6\xc3\x9f"
       "e \xe2\x82\xac \xd0\x96 \xe6\x97\xa5\xe6\x9c\xac"},
      // U+1F600: D83D DE00, each as three bytes; U+10000 and U+10FFFF, the range's ends.
      {"a\xf0\x9f\x98\x80z", "a\xed\xa0\xbd\xed\xb8\x80z"},
      {"\xf0\x90\x80\x80", "\xed\xa0\x80\xed\xb0\x80"},
      {"\xf4\x8f\xbf\xbf", "\xed\xaf\xbf\xed\xbf\xbf"},
      // A lone surrogate (legal in a Windows name) has one form only.
      {"\xed\xa0\xbd", "\xed\xa0\xbd"},
      {"\xed\xb8\x80\xed\xa0\xbd", "\xed\xb8\x80\xed\xa0\xbd"},
      // Bytes that start no sequence (a file name in a code page) pass as they are.
      {"caf\xe9", "caf\xe9"},
      {"\xf0\x9f\x98", "\xf0\x9f\x98"},
      {"\xf5\x80\x80\x80", "\xf5\x80\x80\x80"},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(toModifiedUtf8(c.standard), c.modified) << c.standard;
    EXPECT_EQ(toStandardUtf8(c.modified), c.standard) << c.standard;
  }
}

TEST(ModifiedUtf8, NulHasTheTwoByteFormWhichTheDecoderKeeps) {
  EXPECT_EQ(toModifiedUtf8(std::string("a\0b", 3)), "a\xc0\x80"
                                                    "b");
  EXPECT_EQ(toStandardUtf8("a\xc0\x80"
                           "b"),
            "a\xc0\x80"
            "b");
}
