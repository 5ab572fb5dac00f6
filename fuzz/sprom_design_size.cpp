// Fuzz target: the design size read from the bitstream header of a serial image (the
// converter's ".rpd" output), checked against the three length rules restated plainly.
//
// Input format: the first bytes of the serial image (the probe sees at most 1024 of them).
#include "FuzzCheck.h"
#include "flashDevice/FlashDeviceSPROM.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace {

using fuzzing::check;
using vantrel::flashDevice::FlashDeviceSPROM;

unsigned bit(const vantrel::flashDevice::Bytes &h, std::size_t i, unsigned n) {
  return (h[i] >> n) & 1u;
}

/// Bit 25 + k of the count is bit 3 of h[high + k] (k = 0..6); bit j is bit 2 of
/// h[low + j] (j = 0..24).
std::uint32_t splitCount(const vantrel::flashDevice::Bytes &h, std::size_t high, std::size_t low) {
  std::uint32_t n = 0;
  for (std::size_t k = 0; k < 7; ++k)
    n |= static_cast<std::uint32_t>(bit(h, high + k, 3)) << (25 + k);
  for (std::size_t j = 0; j < 25; ++j)
    n |= static_cast<std::uint32_t>(bit(h, low + j, 2)) << j;
  return n;
}

/// Position of the first byte other than 0xFF when it is the 0x6A marker.
std::optional<std::size_t> marker(const vantrel::flashDevice::Bytes &h) {
  std::size_t p = 0;
  while (p < h.size() && h[p] == 0xFF)
    ++p;
  if (p < h.size() && h[p] == 0x6A) return p;
  return std::nullopt;
}

/// The size in bytes; 0 when no size can be found or the fields lie beyond the header.
std::int64_t reference(const vantrel::flashDevice::Bytes &h) {
  if (h.size() < 60) return 0;
  unsigned f = 0;
  for (std::size_t i = 0; i < 8; ++i)
    f |= bit(h, 52 + i, 1) << i;
  auto in = [f](unsigned a, unsigned b) { return f >= a && f <= b; };
  std::uint64_t n = 0;
  if (in(0, 20) || in(32, 35) || f == 66 || in(145, 150) || in(225, 228)) {
    if (h.size() < 73) return 0;
    n = splitCount(h, 33, 48);
  } else if (in(241, 247)) {
    const auto p = marker(h);
    if (!p || *p + 40 >= h.size()) return 0;
    n = splitCount(h, *p + 1, *p + 16);
  } else {
    const auto p = marker(h);
    if (!p || *p + 8 >= h.size()) return 0;
    n = h[*p + 5] | static_cast<std::uint64_t>(h[*p + 6]) << 8 | static_cast<std::uint64_t>(h[*p + 7]) << 16 |
        static_cast<std::uint64_t>(h[*p + 8]) << 24;
  }
  return static_cast<std::int64_t>((n + 7) / 8);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  // The driver hands the probe the first 1024 bytes of the image.
  const vantrel::flashDevice::Bytes header(
      data, data + std::min<std::size_t>(size, FlashDeviceSPROM::HEADER_LENGTH));
  const std::int64_t got = FlashDeviceSPROM::getDesignSize(header);
  check(got == reference(header), "design size", got, reference(header));
  check(got >= 0 && got <= 536870912, "design size range", got);
  return 0;
}
