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
  vantrel::testing::writeBytes(map, "T\n\nPage_0\t0x00020000\t0x0002FFFF\nOPTION BITS\t0x18000\t020\n");
  std::ostringstream out;
  KLDFlashGenerator gen(out);
  EXPECT_EQ(gen.getStartAddress(map), 0x20000);
  EXPECT_EQ(gen.getEndAddress(map), 0x2FFFF);
  EXPECT_EQ(gen.getOptStartAddress(map), 0x18000);
  EXPECT_EQ(gen.getOptEndAddress(map), 16); // leading 0: octal
}

TEST(KLDFlashGeneratorMap, MapOfAnEarlierRunCountsAsMissing) {
  ScratchDir dir;
  const RunFiles files = RunFiles::forBase(dir.file("top"));
  vantrel::testing::writeBytes(files.map, "T\n\nPage_0\t1\t2\nOPTION BITS\t3\t4\n");
  RunLedger ledger(RunPlan{.files = files, .optionsFile = files.options, .flow = Flow::Loader});
  std::ostringstream out;
  KLDFlashGenerator gen(out);
  gen.setRun(&ledger, {});
  try {
    gen.getStartAddress(files.map);
    FAIL() << "no exception";
  } catch (const KLDException &e) {
    EXPECT_EQ(std::string(e.what()), "Unable to read memory map " + files.map);
  }
  gen.setRun(nullptr, {});
}

TEST(KLDFlashGeneratorExtract, EveryByteOfEachInclusiveRangeGapsKept) {
  // 16 bytes at 0x100 (0x00..0x0F), a gap, 4 bytes at 0x120; 4 option bits at 0x10.
  const std::string records = "S31500000100000102030405060708090A0B0C0D0E0F71\n"
                              "S30900000120AABBCCDDC7\n"
                              "S30900000010111213149C\n";
  struct Case {
    const char *what;
    std::int64_t start, end;   // the image range
    std::uint64_t first, last; // the lowest and highest address the result holds
    std::size_t count;         // how many bytes it holds
    int lastByte;              // the byte at last
    const char *failure;       // nullptr: none
  };
  const Case cases[] = {
      {"across the gap", 0x100, 0x123, 0x100, 0x123, 20, 0xDD, nullptr},
      {"one byte", 0x105, 0x105, 0x105, 0x105, 1, 0x05, nullptr},
      {"starting in the gap", 0x110, 0x121, 0x120, 0x121, 2, 0xBB, nullptr},
      {"no byte at all", 0x110, 0x11F, 0, 0, 0, 0, "Cannot add an empty data array"},
      {"beyond 32-bit addresses", 0x100, 0x100000000, 0, 0, 0, 0,
       "Address range in memory map beyond 32-bit"},
      {"reversed", 0x10, 0x0F, 0, 0, 0, 0, "Empty address range in memory map: "},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    ScratchDir dir;
    const std::string flash = dir.file("top.flash");
    const std::string options = dir.file("top.map.flash");
    vantrel::testing::writeBytes(flash, records);
    std::ostringstream out;
    KLDFlashGenerator gen(out);
    try {
      gen.extractSREC(options, flash, c.start, c.end, 0x10, 0x13);
      ASSERT_EQ(c.failure, nullptr) << "no exception";
    } catch (const KLDException &e) {
      ASSERT_NE(c.failure, nullptr) << e.what();
      EXPECT_EQ(std::string(e.what()).rfind(c.failure, 0), 0u) << e.what();
      EXPECT_EQ(vantrel::testing::readBytes(flash), records) << "a result written by a failed cut";
      continue;
    }
    const auto image = test::decodeSrecords(vantrel::testing::readBytes(flash));
    ASSERT_EQ(image.bytes.size(), c.count);
    EXPECT_EQ(image.bytes.begin()->first, c.first);
    EXPECT_EQ(image.bytes.rbegin()->first, c.last);
    EXPECT_EQ(image.bytes.at(c.last), c.lastByte);
    const auto bits = test::decodeSrecords(vantrel::testing::readBytes(options));
    ASSERT_EQ(bits.bytes.size(), 4u); // the byte at the end address 0x13 is included
    EXPECT_EQ(bits.bytes.at(0x13), 0x14);
  }
}

TEST(KLDFlashGeneratorExtract, MalformedRecordFailsInsteadOfCuttingAHalfImage) {
  ScratchDir dir;
  const std::string flash = dir.file("top.flash");
  const std::string options = dir.file("top.map.flash");
  // The option bits read fine; the second image record has a bad checksum.
  vantrel::testing::writeBytes(flash, "S30900000010111213149C\n"
                                      "S31500000100000102030405060708090A0B0C0D0E0F71\n"
                                      "S31500000110000102030405060708090A0B0C0D0E0F00\n");
  KLDFlashGenerator gen;
  try {
    gen.extractSREC(options, flash, 0x100, 0x11F, 0x10, 0x13);
    FAIL() << "no exception";
  } catch (const KLDException &e) {
    EXPECT_STREQ(e.what(), "Malformed memory record found.");
  }
}

} // namespace
} // namespace vantrel::bitmorph
