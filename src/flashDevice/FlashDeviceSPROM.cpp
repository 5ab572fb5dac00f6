// Design-size probe of serial images: family code, then one of three length-field layouts.
#include "flashDevice/FlashDeviceSPROM.h"

#include <optional>

namespace vantrel::flashDevice {

namespace {

/// Bit n (0 = least significant) of byte i.
std::uint32_t bitOf(const Bytes &h, std::size_t i, int n) {
  return (h[i] >> n) & 1u;
}

/// Offset of the 0x6A length marker after the leading 0xFF fill, if the first other byte
/// is that marker.
std::optional<std::size_t> findMarker(const Bytes &h) {
  std::size_t p = 0;
  while (p < h.size() && h[p] == 0xFF)
    ++p;
  if (p == h.size() || h[p] != 0x6A) return std::nullopt;
  return p;
}

/// Rule A and rule B share a layout: 7 high bits in bit 3 of consecutive bytes, 25 low
/// bits in bit 2 of consecutive bytes (most significant at the highest offset).
std::uint32_t splitBitCount(const Bytes &h, std::size_t high, std::size_t low) {
  std::uint32_t n = 0;
  for (std::size_t i = 0; i < 7; ++i)
    n |= bitOf(h, high + i, 3) << (25 + i);
  for (std::size_t j = 0; j < 25; ++j)
    n |= bitOf(h, low + j, 2) << j;
  return n;
}

bool inRange(unsigned v, unsigned lo, unsigned hi) {
  return v >= lo && v <= hi;
}

} // namespace

std::int64_t FlashDeviceSPROM::getDesignSize(const Bytes &header) {
  // The family code sits in bit 1 of bytes 52..59.
  if (header.size() < 60) return 0;
  unsigned family = 0;
  for (std::size_t i = 0; i < 8; ++i)
    family |= bitOf(header, 52 + i, 1) << i;

  std::uint32_t bits = 0;
  if (inRange(family, 0, 20) || inRange(family, 32, 35) || family == 66 || inRange(family, 145, 150) ||
      inRange(family, 225, 228)) {
    // Rule A: fixed positions, high bits at 33..39, low bits at 48..72.
    if (header.size() < 73) return 0;
    bits = splitBitCount(header, 33, 48);
  } else if (inRange(family, 241, 247)) {
    // Rule B: the same layout measured from the marker, high bits at p+1..p+7, low bits
    // at p+16..p+40.
    const std::optional<std::size_t> p = findMarker(header);
    if (!p || *p + 40 >= header.size()) return 0;
    bits = splitBitCount(header, *p + 1, *p + 16);
  } else {
    // Rule C: a little-endian 32-bit count at p+5..p+8.
    const std::optional<std::size_t> p = findMarker(header);
    if (!p || *p + 8 >= header.size()) return 0;
    bits = static_cast<std::uint32_t>(header[*p + 5]) | static_cast<std::uint32_t>(header[*p + 6]) << 8 |
           static_cast<std::uint32_t>(header[*p + 7]) << 16 |
           static_cast<std::uint32_t>(header[*p + 8]) << 24;
  }
  // Bits to bytes, rounded up; done in 64 bits so a count near 2^32 cannot wrap.
  return (static_cast<std::int64_t>(bits) + 7) / 8;
}

} // namespace vantrel::flashDevice
