// Options files, number texts and memory maps.
#include <gtest/gtest.h>

#include "FlowReaders.h"
#include "MemoryMap.h"
#include "Messages.h"
#include "NumberText.h"
#include "OptionsFile.h"

namespace vantrel::suite {
namespace {

TEST(OptionsFile, SettingsWithAnyLineEnd) {
  auto both = parseOptionsFile("BITSTREAM_COMPRESSION=ON\r\nMEMORY_MAP_FILE=ON\r\n");
  ASSERT_TRUE(both.ok()) << both.error();
  EXPECT_TRUE(both.value().compression);
  EXPECT_TRUE(both.value().memoryMap);
  auto one = parseOptionsFile("\n  BITSTREAM_COMPRESSION = on \r\rMEMORY_MAP_FILE=OFF");
  ASSERT_TRUE(one.ok()) << one.error();
  EXPECT_TRUE(one.value().compression);
  EXPECT_FALSE(one.value().memoryMap);
  auto none = parseOptionsFile("");
  ASSERT_TRUE(none.ok());
  EXPECT_FALSE(none.value().compression);
}

TEST(OptionsFile, Errors) {
  EXPECT_EQ(parseOptionsFile("BITSTREAM_COMPRESSION").error(),
            std::string("line 1 ") + msg::OPTIONS_BAD_LINE);
  EXPECT_EQ(parseOptionsFile("\nBITSTREAM_COMPRESSION=YES").error(),
            std::string("line 2 ") + msg::OPTIONS_BAD_LINE);
  EXPECT_EQ(parseOptionsFile("FAST=ON").error(), std::string("line 1 ") + msg::OPTIONS_UNKNOWN + "FAST");
}

TEST(NumberText, Bases) {
  EXPECT_EQ(parseNumberText("0x00020000"), 0x20000u);
  EXPECT_EQ(parseNumberText("0X1f"), 0x1Fu);
  EXPECT_EQ(parseNumberText("#ff"), 0xFFu);
  EXPECT_EQ(parseNumberText("010"), 8u);
  EXPECT_EQ(parseNumberText("0"), 0u);
  EXPECT_EQ(parseNumberText("+12"), 12u);
  EXPECT_EQ(parseNumberText("4294967295"), 0xFFFFFFFFu);
  for (const char *bad : {"", "0x", "#", "-1", "08", "12a", "0x100000000", "4294967296", " 1", "1 "}) {
    EXPECT_FALSE(parseNumberText(bad).has_value()) << bad;
  }
  EXPECT_EQ(hex8(0x1A95), "0x00001A95");
}

TEST(MemoryMap, SerialMapGoldenAndReadBack) {
  const std::string map = writeMemoryMap("Memory map for SPROM128", {{"Page_0", 0, 0x102}});
  EXPECT_EQ(map, "Memory map for SPROM128\n\nPage_0\t0x00000000\t0x00000102\n");
  EXPECT_EQ(testing::designSizeFromMap(map), 0x103);
}

TEST(MemoryMap, LoaderMapGoldenAndReadBack) {
  const std::string map = writeMemoryMap("Memory map for CFI_1GB",
                                         {{"Page_0", 0x20000, 0x24E7F}, {MAP_OPTION_BITS, 0x18000, 0x1801F}});
  EXPECT_EQ(
      map, "Memory map for CFI_1GB\n\nPage_0\t0x00020000\t0x00024E7F\nOPTION BITS\t0x00018000\t0x0001801F\n");
  const auto a = testing::loaderAddresses(map);
  ASSERT_TRUE(a.has_value());
  EXPECT_EQ(a->start, 0x20000);
  EXPECT_EQ(a->end, 0x24E7F);
  EXPECT_EQ(a->optionStart, 0x18000);
  EXPECT_EQ(a->optionEnd, 0x1801F);
}

} // namespace
} // namespace vantrel::suite
