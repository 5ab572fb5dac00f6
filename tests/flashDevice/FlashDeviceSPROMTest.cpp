// Tests of the serial-image design-size probe: the three length rules and short headers.
#include "flashDevice/FlashDeviceSPROM.h"

#include <gtest/gtest.h>

using vantrel::flashDevice::Bytes;
using vantrel::flashDevice::FlashDeviceSPROM;

namespace {

/// Sets the family code F into bit 1 of bytes 52..59.
void setFamily(Bytes &h, unsigned family) {
  for (std::size_t i = 0; i < 8; ++i) {
    h[52 + i] = static_cast<std::uint8_t>(h[52 + i] & ~2u);
    if (family & (1u << i)) h[52 + i] = static_cast<std::uint8_t>(h[52 + i] | 2u);
  }
}

/// Writes a bit count in the split layout: high 7 bits in bit 3 from `high`, low 25 bits
/// in bit 2 from `low`.
void setSplitCount(Bytes &h, std::size_t high, std::size_t low, std::uint32_t n) {
  for (std::size_t i = 0; i < 7; ++i)
    if (n & (1u << (25 + i))) h[high + i] = static_cast<std::uint8_t>(h[high + i] | 8u);
  for (std::size_t j = 0; j < 25; ++j)
    if (n & (1u << j)) h[low + j] = static_cast<std::uint8_t>(h[low + j] | 4u);
}

} // namespace

TEST(DesignSizeRuleA, CountAtFixedPositions) {
  Bytes h(1024, 0);
  setFamily(h, 3);
  setSplitCount(h, 33, 48, 0x02000000u + 801); // both halves in use
  EXPECT_EQ(FlashDeviceSPROM::getDesignSize(h), (0x02000000 + 801 + 7) / 8);
}

TEST(DesignSizeRuleA, EveryFamilyRangeSelectsIt) {
  for (unsigned family : {0u, 20u, 32u, 35u, 66u, 145u, 150u, 225u, 228u}) {
    Bytes h(1024, 0);
    setFamily(h, family);
    setSplitCount(h, 33, 48, 64);
    EXPECT_EQ(FlashDeviceSPROM::getDesignSize(h), 8) << family;
  }
}

TEST(DesignSizeRuleA, HeaderShorterThanItsFieldsGivesZero) {
  Bytes h(72, 0); // rule A reads byte 72
  setFamily(h, 3);
  EXPECT_EQ(FlashDeviceSPROM::getDesignSize(h), 0);
  EXPECT_EQ(FlashDeviceSPROM::getDesignSize(Bytes(59, 0)), 0);
  EXPECT_EQ(FlashDeviceSPROM::getDesignSize(Bytes{}), 0);
}

TEST(DesignSizeRuleB, CountMeasuredFromTheMarker) {
  Bytes h(1024, 0);
  // The family bits sit in bytes 52..59, past the marker's fields below.
  for (std::size_t i = 0; i < 10; ++i)
    h[i] = 0xFF;
  h[10] = 0x6A;
  setSplitCount(h, 11, 26, 0x04000010u);
  setFamily(h, 241);
  EXPECT_EQ(FlashDeviceSPROM::getDesignSize(h), (0x04000010 + 7) / 8);
}

TEST(DesignSizeRuleB, MissingMarkerOrMarkerNearTheEndGivesZero) {
  Bytes h(1024, 0);
  setFamily(h, 245);
  h[0] = 0x12; // first non-0xFF byte is not the marker
  EXPECT_EQ(FlashDeviceSPROM::getDesignSize(h), 0);

  Bytes nearEnd(80, 0xFF);
  nearEnd[45] = 0x6A; // p + 40 = 85 lies outside the header
  setFamily(nearEnd, 245);
  EXPECT_EQ(FlashDeviceSPROM::getDesignSize(nearEnd), 0);
  Bytes fits(86, 0xFF);
  fits[45] = 0x6A; // p + 40 = 85 is the last byte: every count bit is set
  setFamily(fits, 245);
  EXPECT_EQ(FlashDeviceSPROM::getDesignSize(fits), 0x20000000LL);
}

TEST(DesignSizeRuleC, LittleEndianCountAfterTheMarker) {
  Bytes h(1024, 0xFF); // family bits all set: F = 255, rule C
  h[60] = 0x6A;
  h[65] = 0x01;
  h[66] = 0x02;
  h[67] = 0x03;
  h[68] = 0x04;
  EXPECT_EQ(FlashDeviceSPROM::getDesignSize(h), (0x04030201LL + 7) / 8);
}

TEST(DesignSizeRuleC, RpdThatStartsWithFillThenMarker) {
  Bytes h(1024, 0);
  setFamily(h, 200);
  for (std::size_t i = 0; i < 4; ++i)
    h[i] = 0xFF;
  h[4] = 0x6A;
  h[9] = 0x09; // N = 9 bits -> 2 bytes
  EXPECT_EQ(FlashDeviceSPROM::getDesignSize(h), 2);
}

TEST(DesignSizeRuleC, FullCountDoesNotWrap) {
  Bytes h(1024, 0);
  setFamily(h, 200);
  h[0] = 0x6A;
  h[5] = h[6] = h[7] = h[8] = 0xFF;
  EXPECT_EQ(FlashDeviceSPROM::getDesignSize(h), 0x20000000LL);
}

TEST(DesignSizeRuleC, AllFillOrMarkerTooNearTheEndGivesZero) {
  Bytes fill(1024, 0xFF);
  EXPECT_EQ(FlashDeviceSPROM::getDesignSize(fill), 0);
  Bytes nearEnd(68, 0xFF);
  nearEnd[60] = 0x6A; // p + 8 = 68 lies outside the header
  EXPECT_EQ(FlashDeviceSPROM::getDesignSize(nearEnd), 0);
  nearEnd.push_back(0x08); // now p + 8 is the last byte, the count's most significant
  EXPECT_EQ(FlashDeviceSPROM::getDesignSize(nearEnd), (0x08FFFFFFLL + 7) / 8);
}
