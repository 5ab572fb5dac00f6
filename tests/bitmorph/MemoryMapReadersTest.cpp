// Tests of the serial map's design size and the loader map's four addresses.
#include "bitmorph/MemoryMapReaders.h"

#include <gtest/gtest.h>

#include <limits>

namespace vantrel::bitmorph {
namespace {

TEST(SerialMapDesignSize, PageZeroEndIsInclusive) {
  EXPECT_EQ(parseSerialMapDesignSize("Block\tStart\tEnd\nPage_0, 0x00000000, 0x00000102\n"), 0x103);
  EXPECT_EQ(parseSerialMapDesignSize("Page_0 0x00000000 0x0001FFFF\r\nOPTION 0x1 0x2\r\n"), 0x20000);
  EXPECT_EQ(parseSerialMapDesignSize("x Page_0\t0x0\t0x1000"), 0x1001);
}

TEST(SerialMapDesignSize, FirstPageZeroLineWins) {
  EXPECT_EQ(parseSerialMapDesignSize("Page_0 0 0x10\nPage_0 0 0x20\n"), 0x11);
}

TEST(SerialMapDesignSize, MissingOrMalformedGivesMinusOne) {
  EXPECT_EQ(parseSerialMapDesignSize(""), -1);
  EXPECT_EQ(parseSerialMapDesignSize("Page_1 0x0 0x100\n"), -1);
  EXPECT_EQ(parseSerialMapDesignSize("Page_0 0x0\n0x100\n"), -1);
  EXPECT_EQ(parseSerialMapDesignSize("Page_0 0x0 0x0\n"), -1);
  EXPECT_EQ(parseSerialMapDesignSize("Page_0 0x0 0x00000000\n"), -1);
  EXPECT_EQ(parseSerialMapDesignSize("Page_0 0x0 0xZZ\n"), -1);
  EXPECT_EQ(parseSerialMapDesignSize("Page_0 0x0 -0x10\n"), -1);
  EXPECT_EQ(parseSerialMapDesignSize("Page_0 0x0 0xFFFFFFFFFFFFFFFFFF\n"), -1);
}

TEST(SerialMapDesignSize, EveryZeroXAndItsZerosAreDropped) {
  EXPECT_EQ(parseSerialMapDesignSize("Page_0 0 0x00100"), 0x101);
  EXPECT_EQ(parseSerialMapDesignSize("Page_0 0 1F"), 0x20);
}

const char *const LOADER_MAP = "BLOCK\tSTART ADDRESS\tEND ADDRESS\n"
                               "\n"
                               "Page_0\t0x00020000\t0x0002FFFF\n"
                               "OPTION BITS\t0x00018000\t0x0001801F\n";

TEST(LoaderMap, ReadsBothRanges) {
  const LoaderMap map = parseLoaderMap(LOADER_MAP);
  EXPECT_EQ(map.imageStart, 0x20000);
  EXPECT_EQ(map.imageEnd, 0x2FFFF);
  EXPECT_EQ(map.optionStart, 0x18000);
  EXPECT_EQ(map.optionEnd, 0x1801F);
}

TEST(LoaderMap, LineEndsOfEveryKind) {
  const LoaderMap cr = parseLoaderMap("t\r\rPage_0 1 2\rOPTION BITS 3 4\r");
  EXPECT_EQ(cr.imageStart, 1);
  EXPECT_EQ(cr.optionEnd, 4);
  const LoaderMap crlf = parseLoaderMap("t\r\n\r\nPage_0 #10 0x20\r\nOPTION BITS 010 -5");
  EXPECT_EQ(crlf.imageStart, 16);
  EXPECT_EQ(crlf.imageEnd, 32);
  EXPECT_EQ(crlf.optionStart, 8); // a leading 0 means octal
  EXPECT_EQ(crlf.optionEnd, -5);
}

TEST(LoaderMap, LeadingWhiteSpaceGivesAnEmptyFieldZero) {
  const LoaderMap map = parseLoaderMap("t\n\n\t\t1 2\n  OPTION 3 4\n");
  EXPECT_EQ(map.imageStart, 1);
  EXPECT_EQ(map.imageEnd, 2);
  EXPECT_EQ(map.optionStart, 3);
  EXPECT_EQ(map.optionEnd, 4);
}

TEST(LoaderMap, MissingLineOrFieldOrBadNumberIsReported) {
  try {
    parseLoaderMap("title\n\nPage_0 1 2\n");
    FAIL() << "no exception";
  } catch (const MemoryMapException &e) {
    EXPECT_STREQ(e.what(), "Memory map has no line 3");
  }
  try {
    parseLoaderMap("title\n\nPage_0 1\nOPTION BITS 1 2\n");
    FAIL() << "no exception";
  } catch (const MemoryMapException &e) {
    EXPECT_STREQ(e.what(), "Memory map line 2 has no field 2");
  }
  try {
    parseLoaderMap("title\n\nPage_0 1 0x2G\nOPTION BITS 1 2\n");
    FAIL() << "no exception";
  } catch (const MemoryMapException &e) {
    EXPECT_STREQ(e.what(), "Memory map value is not a number: 0x2G");
  }
  EXPECT_THROW(parseLoaderMap(""), MemoryMapException);
}

TEST(DecodeNumber, RadixPrefixesSignAndRange) {
  EXPECT_EQ(decodeNumber("0x1000"), 4096);
  EXPECT_EQ(decodeNumber("0X1f"), 31);
  EXPECT_EQ(decodeNumber("#ff"), 255);
  EXPECT_EQ(decodeNumber("010"), 8);
  EXPECT_EQ(decodeNumber("0"), 0);
  EXPECT_EQ(decodeNumber("-0x10"), -16);
  EXPECT_EQ(decodeNumber("+12"), 12);
  EXPECT_EQ(decodeNumber("-9223372036854775808"), std::numeric_limits<std::int64_t>::min());
  EXPECT_EQ(decodeNumber("9223372036854775807"), std::numeric_limits<std::int64_t>::max());
  EXPECT_FALSE(decodeNumber("9223372036854775808").has_value());
  EXPECT_FALSE(decodeNumber("08").has_value());
  EXPECT_FALSE(decodeNumber(" 1").has_value());
  EXPECT_FALSE(decodeNumber("").has_value());
  EXPECT_FALSE(decodeNumber("0x").has_value());
  EXPECT_FALSE(decodeNumber("--1").has_value());
}

} // namespace
} // namespace vantrel::bitmorph
