// S-record writer: golden lines, header cleaning, and acceptance by a strict reader.
#include <gtest/gtest.h>

#include "SrecWriter.h"
#include "SrecordCheck.h"

namespace vantrel::suite {
namespace {

TEST(SrecWriter, GoldenText) {
  std::vector<Segment> segments = {{0x18000, {}}};
  for (int i = 0; i < 18; ++i)
    segments[0].bytes.push_back(static_cast<std::uint8_t>(i));
  EXPECT_EQ(writeSrecords(segments, "k.flash", 0x12345678), "S00A00006B2E666C6173684E\n"
                                                            "S31500018000000102030405060708090A0B0C0D0E0FF1\n"
                                                            "S30700018010101146\n"
                                                            "S70512345678E6\n");
}

TEST(SrecWriter, EmptyImageAndHeaderCleaning) {
  EXPECT_EQ(writeSrecords({}, "", 0), "S0030000FC\nS70500000000FA\n");
  EXPECT_EQ(writeSrecords({},
                          "a\xE9"
                          "b",
                          0),
            "S0060000613F62F7\nS70500000000FA\n");
  const std::string longName(100, 'x');
  const std::string text = writeSrecords({}, longName, 0);
  EXPECT_EQ(text.substr(0, 4), "S043"); // 64 header bytes + 2 address bytes + checksum
}

TEST(SrecWriter, StrictReaderGetsTheSameBytes) {
  std::vector<Segment> segments = {{0x100, std::vector<std::uint8_t>(70, 0x5A)}, {0xFFFFFF00u, {}}};
  for (int i = 0; i < 256; ++i)
    segments[1].bytes.push_back(static_cast<std::uint8_t>(255 - i));
  const auto read = testing::readSrecordsStrict(writeSrecords(segments, "x", 0));
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(read->size(), 70u + 256u);
  EXPECT_EQ(read->at(0x100), 0x5A);
  EXPECT_EQ(read->at(0x145), 0x5A);
  EXPECT_EQ(read->at(0xFFFFFF00u), 0xFF);
  EXPECT_EQ(read->at(0xFFFFFFFFu), 0x00);
}

} // namespace
} // namespace vantrel::suite
