// Tests of the modified-UTF-8 conversion applied to the arguments of a native main.
#include "ModifiedUtf8.h"

#include <gtest/gtest.h>

using vantrel::bitmorph::jni::toStandardUtf8;

TEST(ModifiedUtf8, PlainTextIsUnchanged) {
  EXPECT_EQ(toStandardUtf8(""), "");
  EXPECT_EQ(toStandardUtf8("in.sof"), "in.sof");
  EXPECT_EQ(toStandardUtf8("gr\xc3\xb6\xc3\x9f"
                           "e \xe2\x82\xac"),
            "gr\xc3\xb6\xc3\x9f"
            "e \xe2\x82\xac");
  // Standard four-byte UTF-8 and bytes of a Windows code page pass as they are.
  EXPECT_EQ(toStandardUtf8("\xf0\x9f\x98\x80"), "\xf0\x9f\x98\x80");
  EXPECT_EQ(toStandardUtf8("caf\xe9"), "caf\xe9");
}

TEST(ModifiedUtf8, SurrogatePairsBecomeFourByteCharacters) {
  // U+1F600 as modified UTF-8: D83D DE00, each as three bytes.
  EXPECT_EQ(toStandardUtf8("a\xed\xa0\xbd\xed\xb8\x80z"), "a\xf0\x9f\x98\x80z");
  // U+10000 and U+10FFFF, the ends of the supplementary range.
  EXPECT_EQ(toStandardUtf8("\xed\xa0\x80\xed\xb0\x80"), "\xf0\x90\x80\x80");
  EXPECT_EQ(toStandardUtf8("\xed\xaf\xbf\xed\xbf\xbf"), "\xf4\x8f\xbf\xbf");
}

TEST(ModifiedUtf8, LoneSurrogatesAndNulFormStay) {
  EXPECT_EQ(toStandardUtf8("\xed\xa0\xbd"), "\xed\xa0\xbd");
  EXPECT_EQ(toStandardUtf8("\xed\xb8\x80\xed\xa0\xbd"), "\xed\xb8\x80\xed\xa0\xbd");
  EXPECT_EQ(toStandardUtf8("a\xc0\x80"
                           "b"),
            "a\xc0\x80"
            "b");
}
