// Unsigned hexadecimal conversions through lookup tables, and the bit mirror of a byte.
#include "flashDevice/Unsigned.h"

#include "flashDevice/FlashDeviceMessages.h"

#include <array>
#include <bit>
#include <cstring>
#include <stdexcept>

namespace vantrel::flashDevice {

namespace {

constexpr bool isValidWidth(int width) {
  return width >= 1 && width <= 4;
}

// Word arithmetic on eight characters at once, one per byte of a 64-bit word, the first
// character in the lowest byte: both hosts are little-endian.
static_assert(std::endian::native == std::endian::little,
              "the bulk hex conversions assume little-endian words");
constexpr std::uint64_t ONES = 0x0101010101010101ULL;
constexpr std::uint64_t HIGH_BITS = 0x8080808080808080ULL;

/// Bytes of x (each below 0x80) that lie in lo..hi, as their high bits.
inline std::uint64_t inRange(std::uint64_t x, unsigned lo, unsigned hi) {
  return (x + (0x80 - lo) * ONES) & ((0x80 + hi) * ONES - x) & HIGH_BITS;
}

/// Decodes the 8 characters at in to 4 bytes at out; false when one is no digit.
inline bool bytesOf8(const char *in, std::uint8_t *out, unsigned &sum) {
  std::uint64_t x;
  std::memcpy(&x, in, 8);
  if ((x & HIGH_BITS) != 0) return false;
  const std::uint64_t digits = inRange(x, '0', '9');
  const std::uint64_t letters = inRange(x | 0x20 * ONES, 'a', 'f'); // either case
  if ((digits | letters) != HIGH_BITS) return false;
  // '0'..'9' keep their low four bits, letters add 9 to theirs ('A' and 'a' end in 1).
  const std::uint64_t values = (x & 0x0F * ONES) + (letters >> 7) * 9;
  // Pairs of digits into bytes, then the bytes together.
  std::uint64_t y = ((values & 0x000F000F000F000FULL) << 4) | ((values >> 8) & 0x000F000F000F000FULL);
  y = (y | (y >> 8)) & 0x0000FFFF0000FFFFULL;
  y = (y | (y >> 16)) & 0xFFFFFFFFULL;
  const auto word = static_cast<std::uint32_t>(y);
  std::memcpy(out, &word, 4);
  sum += (word & 0xFF) + ((word >> 8) & 0xFF) + ((word >> 16) & 0xFF) + (word >> 24);
  return true;
}

} // namespace

// -1 everywhere except the 22 hexadecimal digit characters.
const signed char Unsigned::DIGIT_VALUE[256] = {
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, // 0x00
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, // 0x10
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, // 0x20
    0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  -1, -1, -1, -1, -1, -1, // 0x30
    -1, 10, 11, 12, 13, 14, 15, -1, -1, -1, -1, -1, -1, -1, -1, -1, // 0x40
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, // 0x50
    -1, 10, 11, 12, 13, 14, 15, -1, -1, -1, -1, -1, -1, -1, -1, -1, // 0x60
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, // 0x70
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, // 0x80
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, // 0x90
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, // 0xA0
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, // 0xB0
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, // 0xC0
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, // 0xD0
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, // 0xE0
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, // 0xF0
};

// The 256 two-digit spellings laid end to end: byte v is at offset 2 v.
const char Unsigned::HEX_PAIRS[513] = "000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F"
                                      "202122232425262728292A2B2C2D2E2F303132333435363738393A3B3C3D3E3F"
                                      "404142434445464748494A4B4C4D4E4F505152535455565758595A5B5C5D5E5F"
                                      "606162636465666768696A6B6C6D6E6F707172737475767778797A7B7C7D7E7F"
                                      "808182838485868788898A8B8C8D8E8F909192939495969798999A9B9C9D9E9F"
                                      "A0A1A2A3A4A5A6A7A8A9AAABACADAEAFB0B1B2B3B4B5B6B7B8B9BABBBCBDBEBF"
                                      "C0C1C2C3C4C5C6C7C8C9CACBCCCDCECFD0D1D2D3D4D5D6D7D8D9DADBDCDDDEDF"
                                      "E0E1E2E3E4E5E6E7E8E9EAEBECEDEEEFF0F1F2F3F4F5F6F7F8F9FAFBFCFDFEFF";

unsigned Unsigned::putHexBytes(char *out, const std::uint8_t *data, std::size_t n) {
  // Both digits of a byte in one 16-bit store: faster than spreading nibbles in a word.
  static const auto pairs = [] {
    std::array<std::uint16_t, 256> table{};
    for (std::size_t v = 0; v < table.size(); ++v)
      std::memcpy(&table[v], &HEX_PAIRS[2 * v], 2);
    return table;
  }();
  unsigned sum = 0;
  for (std::size_t i = 0; i < n; ++i, out += 2) {
    std::memcpy(out, &pairs[data[i]], 2);
    sum += data[i];
  }
  return sum;
}

bool Unsigned::getHexBytes(const char *in, std::size_t n, std::uint8_t *out, unsigned &sum) {
  std::size_t i = 0;
  for (; i + 4 <= n; i += 4, in += 8)
    if (!bytesOf8(in, out + i, sum)) return false;
  for (; i < n; ++i, in += 2) {
    const int value = getHexByte(in);
    if (value < 0) return false;
    out[i] = static_cast<std::uint8_t>(value);
    sum += static_cast<unsigned>(value);
  }
  return true;
}

std::string Unsigned::toHexString(std::uint8_t value) {
  std::string text(2, '0');
  putHexByte(text.data(), value);
  return text;
}

std::string Unsigned::toHexString(std::uint32_t value, int width) {
  if (!isValidWidth(width)) throw std::invalid_argument(messages::BAD_WIDTH);
  // Most significant byte first; bytes above the width are dropped, which keeps only the
  // low-order digits of a value too wide for its field.
  std::string text(static_cast<std::size_t>(2 * width), '0');
  for (int i = 0; i < width; ++i) {
    const int shift = 8 * (width - 1 - i);
    putHexByte(&text[static_cast<std::size_t>(2 * i)], static_cast<std::uint8_t>(value >> shift));
  }
  return text;
}

std::uint32_t Unsigned::chompInt(std::string &buffer, int width) {
  if (!isValidWidth(width)) throw std::invalid_argument(messages::BAD_WIDTH);
  const std::size_t digits = static_cast<std::size_t>(2 * width);
  if (buffer.size() < digits) throw std::invalid_argument(std::string(messages::TOO_FEW_DIGITS) + buffer);
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < digits; ++i) {
    const int digit = hexDigitValue(buffer[i]);
    if (digit < 0)
      throw std::invalid_argument(std::string(messages::NOT_HEXADECIMAL) + buffer.substr(0, digits));
    value = (value << 4) | static_cast<std::uint32_t>(digit);
  }
  buffer.erase(0, digits);
  return value;
}

std::uint8_t Unsigned::chompByte(std::string &buffer) {
  return static_cast<std::uint8_t>(chompInt(buffer, 1));
}

std::uint8_t Unsigned::clipByte(std::string &buffer) {
  if (buffer.size() < 2) throw std::invalid_argument(std::string(messages::TOO_FEW_DIGITS) + buffer);
  const int value = getHexByte(buffer.data() + buffer.size() - 2);
  if (value < 0)
    throw std::invalid_argument(std::string(messages::NOT_HEXADECIMAL) + buffer.substr(buffer.size() - 2));
  buffer.resize(buffer.size() - 2);
  return static_cast<std::uint8_t>(value);
}

std::uint8_t Unsigned::reverseByte(std::uint8_t b) {
  // Swap adjacent bits, then adjacent pairs, then the two halves.
  unsigned v = b;
  v = ((v & 0xAAu) >> 1) | ((v & 0x55u) << 1);
  v = ((v & 0xCCu) >> 2) | ((v & 0x33u) << 2);
  v = ((v & 0xF0u) >> 4) | ((v & 0x0Fu) << 4);
  return static_cast<std::uint8_t>(v);
}

} // namespace vantrel::flashDevice
