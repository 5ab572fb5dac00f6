// Writing and reading the family code and bit count of a bitstream header.
#include "SerialHeader.h"

namespace vantrel::suite {

namespace {
constexpr std::size_t FAMILY_CODE_AT = 52;
constexpr std::size_t HIGH_BITS_AT = 33; // bits 31..25, bit 3 of each byte
constexpr std::size_t LOW_BITS_AT = 48;  // bits 24..0, bit 2 of each byte

void setBit(std::uint8_t &byte, int bit, bool on) {
  const auto mask = static_cast<std::uint8_t>(1u << bit);
  byte = static_cast<std::uint8_t>(on ? (byte | mask) : (byte & ~mask));
}
} // namespace

void writeFamilyCode(std::uint8_t *header, std::uint8_t familyCode) {
  for (int i = 0; i < 8; ++i)
    setBit(header[FAMILY_CODE_AT + i], 1, (familyCode >> i) & 1u);
}

std::uint8_t readFamilyCode(const std::uint8_t *header) {
  std::uint8_t code = 0;
  for (int i = 0; i < 8; ++i)
    code = static_cast<std::uint8_t>(code | (((header[FAMILY_CODE_AT + i] >> 1) & 1u) << i));
  return code;
}

LengthLayout layoutForCode(std::uint8_t f) {
  if (f <= 20 || (f >= 32 && f <= 35) || f == 66 || (f >= 145 && f <= 150) || (f >= 225 && f <= 228)) {
    return LengthLayout::Scattered;
  }
  return LengthLayout::AfterSync;
}

void writeBitCount(std::uint8_t *header, LengthLayout layout, std::size_t syncPos, std::uint32_t bitCount) {
  if (layout == LengthLayout::Scattered) {
    for (int i = 0; i < 7; ++i)
      setBit(header[HIGH_BITS_AT + i], 3, (bitCount >> (25 + i)) & 1u);
    for (int j = 0; j < 25; ++j)
      setBit(header[LOW_BITS_AT + j], 2, (bitCount >> j) & 1u);
    return;
  }
  for (int k = 0; k < 4; ++k)
    header[syncPos + 5 + k] = static_cast<std::uint8_t>(bitCount >> (8 * k));
}

std::optional<std::uint32_t> readBitCount(const std::uint8_t *header, std::size_t n, std::size_t syncPos) {
  if (n < SERIAL_HEADER_MIN || n < syncPos + 9) return std::nullopt;
  if (layoutForCode(readFamilyCode(header)) == LengthLayout::Scattered) {
    std::uint32_t bits = 0;
    for (int i = 0; i < 7; ++i)
      bits |= static_cast<std::uint32_t>((header[HIGH_BITS_AT + i] >> 3) & 1u) << (25 + i);
    for (int j = 0; j < 25; ++j)
      bits |= static_cast<std::uint32_t>((header[LOW_BITS_AT + j] >> 2) & 1u) << j;
    return bits;
  }
  std::uint32_t bits = 0;
  for (int k = 0; k < 4; ++k)
    bits |= static_cast<std::uint32_t>(header[syncPos + 5 + k]) << (8 * k);
  return bits;
}

} // namespace vantrel::suite
