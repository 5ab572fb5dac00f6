// SOF writing and reading: the exact layout, both byte orders, and every reading error.
#include <gtest/gtest.h>

#include "ByteOrder.h"
#include "Checksum.h"
#include "Messages.h"
#include "SofFile.h"
#include "TestSupport.h"

namespace vantrel::suite {
namespace {

using testing::asText;

SofDesign smallDesign(bool big) {
  SofDesign d;
  d.partName = "KX2MGX99";
  d.configData = {0x10, 0x20, 0x30};
  d.bigEndian = big;
  return d;
}

TEST(SofFileWrite, BigEndianLayoutIsExact) {
  const std::vector<std::uint8_t> bytes = writeSof(smallDesign(true));
  const std::uint32_t crc = crc32Of(std::vector<std::uint8_t>{0x10, 0x20, 0x30}.data(), 3);
  std::vector<std::uint8_t> expected = {'S', 'O',  'F',  0,   0x00, 0x01, 0x00, 0x01, 0,   0,   0,
                                        2,   0x00, 0x02, 0,   0,    0,    8,    'K',  'X', '2', 'M',
                                        'G', 'X',  '9',  '9', 0x00, 0x11, 0,    0,    0,   7};
  appendBe32(expected, crc);
  expected.insert(expected.end(), {0x10, 0x20, 0x30});
  EXPECT_EQ(bytes, expected);
}

TEST(SofFileWrite, LittleEndianLayoutIsExact) {
  const std::vector<std::uint8_t> bytes = writeSof(smallDesign(false));
  ASSERT_GE(bytes.size(), 18u);
  // The byte-order word is 0; every later field is least significant byte first.
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 18),
            (std::vector<std::uint8_t>{'S', 'O', 'F', 0, 0, 0, 1, 0, 2, 0, 0, 0, 2, 0, 8, 0, 0, 0}));
}

TEST(SofFileRead, RoundTripsBothByteOrders) {
  for (bool big : {true, false}) {
    SofDesign d = smallDesign(big);
    d.creator = "test writer";
    auto parsed = parseSof(asText(writeSof(d)));
    ASSERT_TRUE(parsed.ok()) << parsed.error();
    EXPECT_EQ(parsed.value().partName, "KX2MGX99");
    EXPECT_EQ(parsed.value().configData, d.configData);
    EXPECT_EQ(parsed.value().bigEndian, big);
    EXPECT_EQ(parsed.value().creator, "test writer");
  }
}

TEST(SofFileRead, SkipsUnknownRecordsAndTrimsThePartName) {
  std::vector<std::uint8_t> bytes = {'S', 'O', 'F', ' ', 0, 1, 0, 1, 0, 0, 0, 3};
  appendBe16(bytes, 9);
  appendBe32(bytes, 3);
  bytes.insert(bytes.end(), {1, 2, 3});
  appendBe16(bytes, SOF_RECORD_PART_NAME);
  appendBe32(bytes, 8);
  bytes.insert(bytes.end(), {' ', 'K', 'X', '1', 'R', 0, ' ', 0});
  appendBe16(bytes, SOF_RECORD_CONFIG_DATA);
  appendBe32(bytes, 5);
  const std::uint8_t data = 0x42;
  appendBe32(bytes, crc32Of(&data, 1));
  bytes.push_back(data);
  auto parsed = parseSof(asText(bytes));
  ASSERT_TRUE(parsed.ok()) << parsed.error();
  EXPECT_EQ(parsed.value().partName, "KX1R");
  EXPECT_EQ(parsed.value().configData, std::vector<std::uint8_t>{0x42});
}

TEST(SofFileRead, Errors) {
  const std::string good = asText(writeSof(smallDesign(true)));
  EXPECT_EQ(parseSof("SO").error(), msg::SOF_NO_SIGNATURE);
  EXPECT_EQ(parseSof(std::string_view("SOX\0abcdefgh", 12)).error(), msg::SOF_NO_SIGNATURE);
  EXPECT_EQ(parseSof(std::string_view(good.data(), 7)).error(), msg::SOF_ENDS_EARLY);
  EXPECT_EQ(parseSof(std::string_view(good.data(), good.size() - 1)).error(), msg::SOF_ENDS_EARLY);
  EXPECT_EQ(parseSof(std::string_view(good.data(), 15)).error(), msg::SOF_ENDS_EARLY);

  std::string negative = good;
  negative[14] = static_cast<char>(0x80); // the part-name record's length reads 2^31 + 8
  EXPECT_EQ(parseSof(negative).error(), msg::SOF_BAD_LENGTH);

  std::string flipped = good;
  flipped.back() = static_cast<char>(flipped.back() ^ 1);
  EXPECT_EQ(parseSof(flipped).error(), msg::SOF_BAD_CHECKSUM);

  SofDesign noConfig = smallDesign(true);
  noConfig.configData.clear();
  EXPECT_EQ(parseSof(asText(writeSof(noConfig))).error(), msg::SOF_NO_CONFIG_DATA);

  SofDesign noPart = smallDesign(true);
  noPart.partName = "  ";
  EXPECT_EQ(parseSof(asText(writeSof(noPart))).error(), msg::SOF_NO_PART_NAME);

  // Only the header and the configuration-data record: no part-name record at all.
  std::string headerOnly = good.substr(0, 12) + good.substr(26);
  EXPECT_EQ(parseSof(headerOnly).error(), msg::SOF_NO_PART_NAME);

  // A configuration-data record too short to hold its checksum.
  std::vector<std::uint8_t> shortConfig(good.begin(), good.begin() + 26);
  appendBe16(shortConfig, SOF_RECORD_CONFIG_DATA);
  appendBe32(shortConfig, 2);
  shortConfig.insert(shortConfig.end(), {0, 0});
  EXPECT_EQ(parseSof(asText(shortConfig)).error(), msg::SOF_BAD_LENGTH);
}

} // namespace
} // namespace vantrel::suite
