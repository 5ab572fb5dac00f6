// Conversion descriptions: both forms the conversion application writes, escaped names,
// and every error.
#include <gtest/gtest.h>

#include "CofFile.h"
#include "CofTexts.h"
#include "Messages.h"

namespace vantrel::suite {
namespace {

using testing::activeParallelCof;
using testing::kldCof;
using testing::replaceAll;

TEST(CofFileTemplates, TheTemplatesHaveTheirDocumentedSizes) {
  EXPECT_EQ(testing::ACTIVE_PARALLEL_COF.size(), 535u);
  EXPECT_EQ(testing::KLD_COF.size(), 589u);
}

TEST(CofFile, ActiveParallelDescription) {
  auto cof = parseCof(activeParallelCof("top.sof", "top.rbf"));
  ASSERT_TRUE(cof.ok()) << cof.error();
  EXPECT_EQ(cof.value().flashDevice, "CFI_256MB");
  EXPECT_EQ(cof.value().flashCapacity, 32u * 1024 * 1024);
  EXPECT_EQ(cof.value().outputFile, "top.rbf");
  EXPECT_EQ(cof.value().sofFile, "top.sof");
  EXPECT_EQ(cof.value().modeCode, 8u);
  EXPECT_EQ(cof.value().startAddress, 0u);
  EXPECT_EQ(cof.value().pageName, "Page_0");
  EXPECT_FALSE(cof.value().memoryMap);
  EXPECT_FALSE(cof.value().optionStart.has_value());
}

TEST(CofFile, LoaderDescription) {
  auto cof = parseCof(kldCof("dir\\top.sof", "top.pof", "0x00020000", "0x00018000", "6"));
  ASSERT_TRUE(cof.ok()) << cof.error();
  EXPECT_EQ(cof.value().flashDevice, "CFI_1GB");
  EXPECT_EQ(cof.value().flashCapacity, 128u * 1024 * 1024);
  EXPECT_EQ(cof.value().outputFile, "top.pof");
  EXPECT_EQ(cof.value().sofFile, "dir\\top.sof");
  EXPECT_EQ(cof.value().modeCode, 6u);
  EXPECT_EQ(cof.value().startAddress, 0x20000u);
  EXPECT_TRUE(cof.value().memoryMap);
  EXPECT_EQ(cof.value().optionStart, 0x18000u);
}

TEST(CofFile, NumbersAsTheUserTypedThem) {
  auto cof = parseCof(kldCof("a.sof", "a.pof", "131072", "#18000", "0"));
  ASSERT_TRUE(cof.ok()) << cof.error();
  EXPECT_EQ(cof.value().startAddress, 131072u);
  EXPECT_EQ(cof.value().optionStart, 0x18000u);
  EXPECT_EQ(cof.value().modeCode, 0u);
  auto octal = parseCof(kldCof("a.sof", "a.pof", "0400000", "0x18000", "6"));
  ASSERT_TRUE(octal.ok()) << octal.error();
  EXPECT_EQ(octal.value().startAddress, 0x20000u);
}

TEST(CofFile, EscapedCharactersInNames) {
  auto cof = parseCof(activeParallelCof("R&amp;D &lt;v2&gt;/a&#39;b.sof", "out &quot;x&quot;.rbf"));
  ASSERT_TRUE(cof.ok()) << cof.error();
  EXPECT_EQ(cof.value().sofFile, "R&D <v2>/a'b.sof");
  EXPECT_EQ(cof.value().outputFile, "out \"x\".rbf");
  auto cdata = parseCof(activeParallelCof("<![CDATA[a&b.sof]]>", "x.rbf"));
  ASSERT_TRUE(cdata.ok()) << cdata.error();
  EXPECT_EQ(cdata.value().sofFile, "a&b.sof");
}

TEST(CofFile, FlashCapacities) {
  EXPECT_EQ(parallelFlashCapacity("CFI_64MB"), 8u * 1024 * 1024);
  EXPECT_EQ(parallelFlashCapacity("CFI_2GB"), 256u * 1024 * 1024);
  EXPECT_FALSE(parallelFlashCapacity("CFI_MB").has_value());
  EXPECT_FALSE(parallelFlashCapacity("CFI_064MB").has_value());
  EXPECT_FALSE(parallelFlashCapacity("CFI_64KB").has_value());
  EXPECT_FALSE(parallelFlashCapacity("EPCS64").has_value());
}

std::string errorOf(const std::string &text) {
  return parseCof(text).error();
}

TEST(CofFile, Errors) {
  const std::string good = activeParallelCof("top.sof", "top.rbf");
  EXPECT_EQ(errorOf(activeParallelCof("a&b.sof", "x.rbf")),
            std::string(msg::COF_MALFORMED) + "line 11: '&' that starts no reference");
  EXPECT_EQ(errorOf(replaceAll(good, "cof>", "coff>")), msg::COF_NOT_COF);
  EXPECT_EQ(errorOf(replaceAll(good, "<eprom_name>CFI_256MB</eprom_name>", "")),
            std::string(msg::COF_MISSING) + "eprom_name");
  EXPECT_EQ(errorOf(replaceAll(good, "sof_filename>", "sof_file>")),
            std::string(msg::COF_MISSING) + "sof_data/bit0/sof_filename");
  EXPECT_EQ(errorOf(activeParallelCof("", "x.rbf")),
            std::string(msg::COF_MISSING) + "sof_data/bit0/sof_filename");
  EXPECT_EQ(errorOf(replaceAll(good, "CFI_256MB", "SPI_8")), std::string(msg::COF_BAD_FLASH) + "SPI_8");
  EXPECT_EQ(errorOf(activeParallelCof("a.sof", "x.bin")), std::string(msg::COF_BAD_OUTPUT) + "x.bin");
  EXPECT_EQ(errorOf(replaceAll(good, "<n_pages>1", "<n_pages>2")), msg::COF_PAGES);
  EXPECT_EQ(errorOf(replaceAll(good, "<width>1", "<width>2")), msg::COF_WIDTH);
  EXPECT_EQ(errorOf(replaceAll(good, "<mode>8", "<mode>7")), std::string(msg::COF_BAD_MODE) + "7");
  EXPECT_EQ(errorOf(replaceAll(good, "<n_pages>1", "<n_pages>one")),
            std::string(msg::COF_BAD_NUMBER) + "n_pages: one");
  EXPECT_EQ(errorOf(kldCof("a.sof", "a.pof", "0x2000G", "0x18000", "6")),
            std::string(msg::COF_BAD_NUMBER) + "sof_data/start_address: 0x2000G");
  EXPECT_EQ(errorOf(kldCof("a.sof", "a.pof", "0x20000", "-1", "6")),
            std::string(msg::COF_BAD_NUMBER) + "options/option_start_address: -1");
  EXPECT_EQ(errorOf(kldCof("a.sof", "a.pof", "0x20000", "0x18000", "PROGRAMMINGMODE")),
            std::string(msg::COF_BAD_NUMBER) + "mode: PROGRAMMINGMODE");
  EXPECT_EQ(
      errorOf(replaceAll(kldCof("a.sof", "a.pof", "0", "0x18000", "6"), "<map_file>1", "<map_file>yes")),
      std::string(msg::COF_BAD_NUMBER) + "options/map_file: yes");
  EXPECT_EQ(errorOf(replaceAll(kldCof("a.sof", "a.pof", "0", "0x18000", "6"), ">Page_0<", ">Page 0<")),
            std::string(msg::COF_BAD_PAGE_NAME) + "Page 0");
}

} // namespace
} // namespace vantrel::suite
