// Bitstream header fields, judged by an independent copy of the flows' design-size reader.
#include <gtest/gtest.h>

#include <vector>

#include "ConfigImage.h"
#include "DeviceFamily.h"
#include "FlowReaders.h"
#include "SerialHeader.h"

namespace vantrel::suite {
namespace {

using testing::designSizeFromHeader;

std::vector<std::uint8_t> preamble() {
  std::vector<std::uint8_t> h(1024, 0x00);
  for (std::size_t i = 0; i < 32; ++i)
    h[i] = 0xFF;
  h[32] = 0x6A;
  return h;
}

TEST(SerialHeader, ScatteredLayoutIsReadByTheFirstRule) {
  for (std::uint32_t bits : {8u, 0x80u, 0x1FFFFFFu, 0x2000000u, 0xFE000000u, 0xDEADBEEFu, 0xFFFFFFF8u}) {
    std::vector<std::uint8_t> h = preamble();
    writeFamilyCode(h.data(), 3);
    writeBitCount(h.data(), LengthLayout::Scattered, 32, bits);
    EXPECT_EQ(designSizeFromHeader(h), (static_cast<std::int64_t>(bits) + 7) / 8) << bits;
    EXPECT_EQ(readBitCount(h.data(), h.size(), 32), bits);
  }
}

TEST(SerialHeader, AfterSyncLayoutIsReadByTheLastRule) {
  std::vector<std::uint8_t> h = preamble();
  writeFamilyCode(h.data(), 0x71);
  writeBitCount(h.data(), LengthLayout::AfterSync, 32, 0x12345678);
  EXPECT_EQ(h[37], 0x78);
  EXPECT_EQ(h[38], 0x56);
  EXPECT_EQ(h[39], 0x34);
  EXPECT_EQ(h[40], 0x12);
  EXPECT_EQ(designSizeFromHeader(h), (0x12345678 + 7) / 8);
}

TEST(SerialHeader, FamilyCodeUsesBitOneOnly) {
  std::vector<std::uint8_t> h(80, 0xFD); // every bit but bit 1 set
  writeFamilyCode(h.data(), 0xA5);
  EXPECT_EQ(readFamilyCode(h.data()), 0xA5);
  for (int i = 0; i < 8; ++i)
    EXPECT_EQ(h[52 + i] & ~0x02, 0xFD) << i;
}

TEST(SerialHeader, LayoutRangesOfTheCodes) {
  for (int f : {0, 20, 32, 35, 66, 145, 150, 225, 228})
    EXPECT_EQ(layoutForCode(static_cast<std::uint8_t>(f)), LengthLayout::Scattered) << f;
  for (int f : {21, 31, 36, 65, 67, 144, 151, 224, 229, 241, 255})
    EXPECT_EQ(layoutForCode(static_cast<std::uint8_t>(f)), LengthLayout::AfterSync) << f;
}

TEST(SerialHeader, ShortHeaderHasNoBitCount) {
  std::vector<std::uint8_t> h = preamble();
  EXPECT_FALSE(readBitCount(h.data(), 72, 32).has_value());
}

// Every family's image states its own size by the rule its code selects; the oldest
// family needs the scattered rule (the after-sync rule would read something else).
TEST(SerialHeader, EveryFamilysImageGivesItsSize) {
  std::vector<std::uint8_t> data(5000);
  for (std::size_t i = 0; i < data.size(); ++i)
    data[i] = static_cast<std::uint8_t>(i * 7);
  for (int i = 0; i < familyCount(); ++i) {
    const DeviceFamily &family = familyAt(i);
    for (bool compress : {false, true}) {
      const std::vector<std::uint8_t> image = buildImage(data, family, compress).value();
      EXPECT_EQ(designSizeFromHeader(image), static_cast<std::int64_t>(image.size())) << family.name;
      const std::uint32_t f = testing::familyCodeOf(image);
      const bool ruleA =
          f <= 20 || (f >= 32 && f <= 35) || f == 66 || (f >= 145 && f <= 150) || (f >= 225 && f <= 228);
      EXPECT_EQ(ruleA, family.layout == LengthLayout::Scattered) << family.name;
      if (ruleA) {
        const std::int64_t afterSync =
            image[37] + 256 * image[38] + 65536 * image[39] + 16777216LL * image[40];
        EXPECT_NE((afterSync + 7) / 8, static_cast<std::int64_t>(image.size())) << family.name;
      }
    }
  }
}

} // namespace
} // namespace vantrel::suite
