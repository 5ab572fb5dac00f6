// Tests of SOF walking: signature, byte order, records, part name, hostile lengths, files.
#include "bitmorph/SofReader.h"

#include "SofBuilder.h"
#include "support/ScratchDir.h"

#include <gtest/gtest.h>

namespace vantrel::bitmorph {
namespace {

using test::SofBuilder;
using vantrel::testing::ScratchDir;

const deviceFamily *familyOf(const std::vector<std::uint8_t> &bytes) {
  return detectSofFamily(bytes.data(), bytes.size()).family;
}

const deviceFamily *familyOf(const std::string &bytes) {
  return detectSofFamily(reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size()).family;
}

TEST(SofReaderByteOrder, BigEndianAndLittleEndianGiveTheSameFamily) {
  EXPECT_EQ(familyOf(SofBuilder(true).partName("KX2MGX99").bytes()), &deviceFamily::MIRREN_II_GX);
  EXPECT_EQ(familyOf(SofBuilder(false).partName("KX2MGX99").bytes()), &deviceFamily::MIRREN_II_GX);
}

TEST(SofReaderByteOrder, AnyNonZeroWordMeansBigEndian) {
  std::string bytes = SofBuilder(true).partName("KX3R").text();
  bytes[4] = '\x12';
  bytes[5] = '\x34';
  EXPECT_EQ(familyOf(bytes), &deviceFamily::RAVELLE_III);
}

TEST(SofReaderRecords, RecordsBeforeThePartNameAreSkippedWhateverTheirType) {
  SofBuilder sof(false);
  sof.record(1, "abc").record(7, std::string(300, 'x')).record(0, "").partName("5M50");
  EXPECT_EQ(familyOf(sof.bytes()), &deviceFamily::MIRREN_V);
}

TEST(SofReaderRecords, NegativeLengthBeforeThePartNameSkipsNothing) {
  SofBuilder sof(true);
  sof.header(5, 0xFFFFFFF0u).partName("KX2T");
  EXPECT_EQ(familyOf(sof.bytes()), &deviceFamily::TESSARY_II);
}

TEST(SofReaderRecords, NegativeLengthOnThePartNameIsNotASof) {
  SofBuilder sof(true);
  sof.header(2, 0x80000000u).raw("KX2T");
  const auto result = detectSofFamily(sof.bytes().data(), sof.bytes().size());
  EXPECT_TRUE(result.opened);
  EXPECT_EQ(result.family, nullptr);
}

TEST(SofReaderRecords, SkipPastTheEndIsNotASof) {
  SofBuilder sof(true);
  sof.header(3, 0x7FFFFFFFu).raw("tiny");
  EXPECT_EQ(familyOf(sof.bytes()), nullptr);
}

TEST(SofReaderRecords, PartNameLongerThanTheFileIsNotASof) {
  SofBuilder sof(true);
  sof.header(2, 0x7FFFFFFFu).raw("KX2R");
  EXPECT_EQ(familyOf(sof.bytes()), nullptr);
  SofBuilder near(false);
  near.header(2, 0x40000000u).raw("KX2R");
  EXPECT_EQ(familyOf(near.bytes()), nullptr);
}

TEST(SofReaderRecords, EndBeforeAPartNameRecordIsNotASof) {
  EXPECT_EQ(familyOf(SofBuilder(true).record(1, "abc").bytes()), nullptr);
  EXPECT_EQ(familyOf(SofBuilder(true).bytes()), nullptr);
}

TEST(SofReaderRecords, TruncatedAnywhereIsNotASof) {
  const std::string whole = SofBuilder(true).record(9, "zz").partName("KX2R").text();
  ASSERT_EQ(familyOf(whole), &deviceFamily::RAVELLE_II);
  for (std::size_t n = 0; n < whole.size(); ++n) {
    EXPECT_EQ(familyOf(whole.substr(0, n)), nullptr) << "cut at " << n;
  }
}

TEST(SofReaderPartName, TrimmedOfBlanksAndNuls) {
  const auto result =
      detectSofFamily(SofBuilder(true).partName(std::string(" \0KX1T20\0\0 \t", 12)).bytes().data(),
                      SofBuilder(true).partName(std::string(" \0KX1T20\0\0 \t", 12)).bytes().size());
  EXPECT_EQ(result.family, &deviceFamily::TESSARY);
  EXPECT_EQ(result.partName, "KX1T20");
}

TEST(SofReaderPartName, UnknownNameIsInvalidWithTheName) {
  const auto bytes = SofBuilder(true).partName("XYZ123").bytes();
  const auto result = detectSofFamily(bytes.data(), bytes.size());
  EXPECT_EQ(result.family, &deviceFamily::INVALID);
  EXPECT_EQ(result.partName, "XYZ123");
}

TEST(SofReaderPartName, NonAsciiBytesNeverMatch) {
  const auto bytes = SofBuilder(true).partName("\xC4KX2R").bytes();
  const auto result = detectSofFamily(bytes.data(), bytes.size());
  EXPECT_EQ(result.family, &deviceFamily::INVALID);
  EXPECT_EQ(result.partName, "?KX2R");
}

TEST(SofReaderSignature, SofWithNulOrBlankPasses) {
  EXPECT_EQ(familyOf(SofBuilder(true, "SOF ").partName("KX2R").bytes()), &deviceFamily::RAVELLE_II);
  EXPECT_EQ(familyOf(SofBuilder(true, " SOF").partName("KX2R").bytes()), &deviceFamily::RAVELLE_II);
}

TEST(SofReaderSignature, OtherSignaturesAreNotASof) {
  EXPECT_EQ(familyOf(SofBuilder(true, "SOFX").partName("KX2R").bytes()), nullptr);
  EXPECT_EQ(familyOf(SofBuilder(true, "sof ").partName("KX2R").bytes()), nullptr);
  EXPECT_EQ(familyOf(std::string("SOF")), nullptr);
  EXPECT_EQ(familyOf(std::string()), nullptr);
  EXPECT_EQ(detectSofFamily(nullptr, 100).family, nullptr);
}

TEST(SofReaderFile, ReadsAFileAndReportsMissingOnes) {
  ScratchDir dir;
  const std::string path = dir.file("top.sof");
  vantrel::testing::writeBytes(path,
                               SofBuilder(false).record(4, std::string(100000, 'q')).partName("5R").text());
  const auto found = detectSofFamilyInFile(path);
  EXPECT_TRUE(found.opened);
  EXPECT_EQ(found.family, &deviceFamily::RAVELLE_V);
  const auto missing = detectSofFamilyInFile(dir.file("absent.sof"));
  EXPECT_FALSE(missing.opened);
  EXPECT_EQ(missing.family, nullptr);
}

TEST(SofReaderFile, GigabyteLengthOnATinyFileIsAnsweredAtOnce) {
  ScratchDir dir;
  const std::string path = dir.file("hostile.sof");
  vantrel::testing::writeBytes(path, SofBuilder(true).header(1, 0x7FFFFFF0u).header(2, 0x7FFFFFF0u).text());
  EXPECT_EQ(detectSofFamilyInFile(path).family, nullptr);
  vantrel::testing::writeBytes(path, SofBuilder(true).header(2, 0x7FFFFFF0u).raw("KX2R").text());
  EXPECT_EQ(detectSofFamilyInFile(path).family, nullptr);
}

TEST(SofReaderPath, QuotesAreRemovedInTheFixedOrder) {
  EXPECT_EQ(cleanSofPath("\"top.sof\""), "top.sof");
  EXPECT_EQ(cleanSofPath("'top.sof'"), "top.sof");
  EXPECT_EQ(cleanSofPath("a\\\"b\\'c\"d'e"), "abcde");
  EXPECT_EQ(cleanSofPath("C:\\dir\\top.sof"), "C:\\dir\\top.sof");
}

} // namespace
} // namespace vantrel::bitmorph
