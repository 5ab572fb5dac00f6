// Hex records: exact writer output, reader round trip, addressing forms and every error.
#include <gtest/gtest.h>

#include "HexFile.h"
#include "Messages.h"

namespace vantrel::suite {
namespace {

TEST(HexFileWrite, GoldenText) {
  std::vector<Segment> segments = {{0x0001FFF8, {}}, {0x00030000, {0xDE, 0xAD}}};
  for (int i = 0; i < 20; ++i)
    segments[0].bytes.push_back(static_cast<std::uint8_t>(i));
  EXPECT_EQ(writeHexFile(segments), ":020000040001F9\n"
                                    ":08FFF8000001020304050607E5\n"
                                    ":020000040002F8\n"
                                    ":0C00000008090A0B0C0D0E0F1011121352\n"
                                    ":020000040003F7\n"
                                    ":02000000DEAD73\n"
                                    ":00000001FF\n");
}

TEST(HexFileWrite, EmptyImageIsOnlyTheEndRecord) {
  EXPECT_EQ(writeHexFile({}), ":00000001FF\n");
}

TEST(HexFileRead, RoundTripOfTheWriter) {
  std::vector<Segment> segments = {{0x18000, std::vector<std::uint8_t>(32, 0xEE)}, {0x20000, {}}};
  for (int i = 0; i < 70000; ++i)
    segments[1].bytes.push_back(static_cast<std::uint8_t>(i * 31));
  auto parsed = parseHexFile(writeHexFile(segments));
  ASSERT_TRUE(parsed.ok()) << parsed.error();
  ASSERT_EQ(parsed.value().segments.size(), 2u);
  EXPECT_EQ(parsed.value().segments[0].address, 0x18000u);
  EXPECT_EQ(parsed.value().segments[0].bytes, segments[0].bytes);
  EXPECT_EQ(parsed.value().segments[1].address, 0x20000u);
  EXPECT_EQ(parsed.value().segments[1].bytes, segments[1].bytes);
  EXPECT_FALSE(parsed.value().startAddress.has_value());
}

TEST(HexFileRead, LineEndsCaseAndOrder) {
  // CR LF, lone CR and LF; lower-case digits; records out of address order get sorted
  // and touching ones joined.
  auto parsed = parseHexFile(":020010000304e7\r\n:02000E000102ED\r:00000001ff\n\n");
  ASSERT_TRUE(parsed.ok()) << parsed.error();
  ASSERT_EQ(parsed.value().segments.size(), 1u);
  EXPECT_EQ(parsed.value().segments[0].address, 0x0Eu);
  EXPECT_EQ(parsed.value().segments[0].bytes, (std::vector<std::uint8_t>{1, 2, 3, 4}));
}

TEST(HexFileRead, SegmentAddressingWrapsInsideTheSegment) {
  // Segment 0x1000 (base 0x10000), offset 0xFFFF: the second byte lands at 0x10000.
  auto parsed = parseHexFile(":020000021000EC\n:02FFFF00AABB9B\n:00000001FF\n");
  ASSERT_TRUE(parsed.ok()) << parsed.error();
  ASSERT_EQ(parsed.value().segments.size(), 2u);
  EXPECT_EQ(parsed.value().segments[0].address, 0x10000u);
  EXPECT_EQ(parsed.value().segments[0].bytes, std::vector<std::uint8_t>{0xBB});
  EXPECT_EQ(parsed.value().segments[1].address, 0x1FFFFu);
  EXPECT_EQ(parsed.value().segments[1].bytes, std::vector<std::uint8_t>{0xAA});
}

TEST(HexFileRead, StartRecords) {
  auto linear = parseHexFile(":0400000512345678E3\n:00000001FF\n");
  ASSERT_TRUE(linear.ok()) << linear.error();
  EXPECT_EQ(linear.value().startAddress, 0x12345678u);
  auto segment = parseHexFile(":0400000312340010A3\n:00000001FF\n");
  ASSERT_TRUE(segment.ok()) << segment.error();
  EXPECT_EQ(segment.value().startAddress, 0x12350u);
}

std::string errorOf(const std::string &text) {
  return parseHexFile(text).error();
}

TEST(HexFileRead, Errors) {
  const std::string end = ":00000001FF\n";
  EXPECT_EQ(errorOf("0100000000FF\n" + end), std::string("line 1: ") + msg::HEX_NO_COLON);
  EXPECT_EQ(errorOf(":0100000G00FF\n" + end), std::string("line 1: ") + msg::HEX_NOT_HEX);
  EXPECT_EQ(errorOf(":01000000000\n" + end), std::string("line 1: ") + msg::HEX_ODD);
  EXPECT_EQ(errorOf(":00000001\n" + end), std::string("line 1: ") + msg::HEX_SHORT);
  EXPECT_EQ(errorOf(":0200000000FE\n" + end), std::string("line 1: ") + msg::HEX_COUNT);
  EXPECT_EQ(errorOf(":0100000055AB\n" + end),
            std::string("line 1: ") + msg::HEX_CHECKSUM + " (stated 0xAB, computed 0xAA)");
  EXPECT_EQ(errorOf(":00000006FA\n" + end), std::string("line 1: ") + msg::HEX_TYPE + "0x06");
  EXPECT_EQ(errorOf(":0100000400FB\n" + end), std::string("line 1: ") + msg::HEX_TYPE_LENGTH + "0x04");
  EXPECT_EQ(errorOf(":0100000200FD\n" + end), std::string("line 1: ") + msg::HEX_TYPE_LENGTH + "0x02");
  EXPECT_EQ(errorOf(":020000030000FB\n" + end), std::string("line 1: ") + msg::HEX_TYPE_LENGTH + "0x03");
  EXPECT_EQ(errorOf(":020000050000F9\n" + end), std::string("line 1: ") + msg::HEX_TYPE_LENGTH + "0x05");
  EXPECT_EQ(errorOf(":0100000100FE\n"), std::string("line 1: ") + msg::HEX_TYPE_LENGTH + "0x01");
  EXPECT_EQ(errorOf(end + ":0100000055AA\n"), std::string("line 2: ") + msg::HEX_AFTER_EOF);
  EXPECT_EQ(errorOf(":0100000055AA\n"), msg::HEX_NO_EOF);
  EXPECT_EQ(errorOf(""), msg::HEX_NO_EOF);
  EXPECT_EQ(errorOf(":020000040010EA\n:020010000102EB\n:0100110003EB\n" + end),
            std::string(msg::HEX_OVERLAP) + "0x00100011");
  EXPECT_EQ(errorOf(":02000004FFFFFC\n:02FFFF000102FD\n" + end), std::string("line 2: ") + msg::HEX_PAST_END);
}

} // namespace
} // namespace vantrel::suite
