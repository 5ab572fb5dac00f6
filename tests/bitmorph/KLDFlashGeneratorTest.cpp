// Tests of the loader flow's pieces that need no tools: map reading, range cutting (the
// flow's file names are the run plan's, tested with it).
#include "bitmorph/KLDFlashGenerator.h"

#include "SrecordDecoder.h"
#include "support/ScratchDir.h"

#include <gtest/gtest.h>

#include <sstream>

namespace vantrel::bitmorph {
namespace {

using vantrel::testing::ScratchDir;

TEST(KLDFlashGeneratorMap, EachAddressReadFromTheMap) {
  ScratchDir dir;
  const std::string map = dir.file("top.map");
  RunSnapshot snapshot;
  snapshot.record(map);
  vantrel::testing::writeBytes(map, "T\n\nPage_0\t0x00020000\t0x0002FFFF\nOPTION BITS\t0x18000\t020\n");
  std::ostringstream out;
  KLDFlashGenerator gen(out);
  gen.setSnapshot(&snapshot);
  EXPECT_EQ(gen.getStartAddress(map), 0x20000);
  EXPECT_EQ(gen.getEndAddress(map), 0x2FFFF);
  EXPECT_EQ(gen.getOptStartAddress(map), 0x18000);
  EXPECT_EQ(gen.getOptEndAddress(map), 16); // leading 0: octal
}

TEST(KLDFlashGeneratorMap, MapOfAnEarlierRunCountsAsMissing) {
  ScratchDir dir;
  const std::string map = dir.file("top.map");
  vantrel::testing::writeBytes(map, "T\n\nPage_0\t1\t2\nOPTION BITS\t3\t4\n");
  RunSnapshot snapshot;
  snapshot.record(map);
  std::ostringstream out;
  KLDFlashGenerator gen(out);
  gen.setSnapshot(&snapshot);
  try {
    gen.getStartAddress(map);
    FAIL() << "no exception";
  } catch (const KLDException &e) {
    EXPECT_EQ(std::string(e.what()), "Unable to read memory map " + map);
  }
}

TEST(KLDFlashGeneratorExtract, InclusiveRangesUpToTheFirstGap) {
  ScratchDir dir;
  const std::string flash = dir.file("top.flash");
  const std::string options = dir.file("top.map.flash");
  RunSnapshot snapshot;
  snapshot.record({flash, options});
  // 16 bytes at 0x100 (0x00..0x0F), a gap, 4 bytes at 0x120; 4 option bytes at 0x10.
  vantrel::testing::writeBytes(flash, "S31500000100000102030405060708090A0B0C0D0E0F71\n"
                                      "S30900000120AABBCCDDC7\n"
                                      "S30900000010111213149C\n");
  std::ostringstream out;
  KLDFlashGenerator gen(out);
  gen.setSnapshot(&snapshot);
  gen.extractSREC(options, flash, 0x100, 0x123, 0x10, 0x13);
  const auto image = test::decodeSrecords(vantrel::testing::readBytes(flash));
  ASSERT_EQ(image.bytes.size(), 16u); // cut short at the gap
  EXPECT_EQ(image.bytes.begin()->first, 0x100u);
  EXPECT_EQ(image.bytes.rbegin()->second, 0x0F);
  const auto bits = test::decodeSrecords(vantrel::testing::readBytes(options));
  ASSERT_EQ(bits.bytes.size(), 4u); // the byte at the end address 0x13 is included
  EXPECT_EQ(bits.bytes.at(0x13), 0x14);
  EXPECT_EQ(out.str(), "");
}

TEST(KLDFlashGeneratorExtract, NoDataAtTheStartOfARange) {
  ScratchDir dir;
  const std::string flash = dir.file("top.flash");
  RunSnapshot snapshot;
  snapshot.record(flash);
  vantrel::testing::writeBytes(flash, "S30900000010111213149C\n");
  KLDFlashGenerator gen;
  gen.setSnapshot(&snapshot);
  try {
    gen.extractSREC(dir.file("o.flash"), flash, 0x100, 0x1FF, 0x10, 0x13);
    FAIL() << "no exception";
  } catch (const KLDException &e) {
    EXPECT_STREQ(e.what(), "Cannot add an empty data array");
  }
}

TEST(KLDFlashGeneratorExtract, MalformedRecordFailsInsteadOfCuttingAHalfImage) {
  ScratchDir dir;
  const std::string flash = dir.file("top.flash");
  const std::string options = dir.file("top.map.flash");
  RunSnapshot snapshot;
  snapshot.record({flash, options});
  // The option bits read fine; the second image record has a bad checksum.
  vantrel::testing::writeBytes(flash, "S30900000010111213149C\n"
                                      "S31500000100000102030405060708090A0B0C0D0E0F71\n"
                                      "S31500000110000102030405060708090A0B0C0D0E0F00\n");
  KLDFlashGenerator gen;
  gen.setSnapshot(&snapshot);
  try {
    gen.extractSREC(options, flash, 0x100, 0x11F, 0x10, 0x13);
    FAIL() << "no exception";
  } catch (const KLDException &e) {
    EXPECT_STREQ(e.what(), "Malformed memory record found.");
  }
}

TEST(KLDFlashGeneratorExtract, ReversedRangeIsRefused) {
  ScratchDir dir;
  KLDFlashGenerator gen;
  EXPECT_THROW(gen.extractSREC(dir.file("o"), dir.file("i"), 0x10, 0x0F, 0, 1), KLDException);
}

} // namespace
} // namespace vantrel::bitmorph
