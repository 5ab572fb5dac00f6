// Unsigned hexadecimal conversions through lookup tables, and the bit mirror of a byte.
#include "flashDevice/Unsigned.h"

#include "flashDevice/FlashDeviceMessages.h"
#include "flashDevice/Lanes.h"

#include <bit>
#include <cstring>
#include <stdexcept>

namespace vantrel::flashDevice {

namespace {

constexpr bool isValidWidth(int width) {
  return width >= 1 && width <= 4;
}

using lanes::Lanes;
using lanes::load;

/// The sum of the 16 bytes of v.
inline unsigned sumOf(Lanes v) {
  std::uint64_t w[2];
  std::memcpy(w, &v, sizeof w);
  constexpr std::uint64_t EVEN = 0x00FF00FF00FF00FFULL;
  // Bytes into 16-bit lanes, then the lanes summed by one multiplication.
  const std::uint64_t pairs = (w[0] & EVEN) + ((w[0] >> 8) & EVEN) + (w[1] & EVEN) + ((w[1] >> 8) & EVEN);
  return static_cast<unsigned>((pairs * 0x0001000100010001ULL) >> 48);
}

/// The 16 bytes at in as 32 upper-case digits at out.
inline unsigned digitsOf16(const std::uint8_t *in, char *out) {
  const Lanes v = load(in);
  // A nibble n becomes '0' + n, and 7 more past 9 to reach 'A'.
  const auto digit = [](Lanes n) { return n + '0' + (reinterpret_cast<Lanes>(n > 9) & 7); };
  const Lanes hi = digit(v >> 4);
  const Lanes lo = digit(v & 0x0F);
  const Lanes first = __builtin_shufflevector(hi, lo, 0, 16, 1, 17, 2, 18, 3, 19, 4, 20, 5, 21, 6, 22, 7, 23);
  const Lanes second =
      __builtin_shufflevector(hi, lo, 8, 24, 9, 25, 10, 26, 11, 27, 12, 28, 13, 29, 14, 30, 15, 31);
  std::memcpy(out, &first, 16);
  std::memcpy(out + 16, &second, 16);
  return sumOf(v);
}

/// The values of the 16 digits at in, each in its lane; false when one is no digit.
inline bool valuesOf16(const char *in, Lanes &values) {
  const Lanes x = load(in);
  const Lanes digit = x - '0';
  const Lanes letter = (x | 0x20) - 'a'; // either case
  const Lanes isDigit = reinterpret_cast<Lanes>(digit < 10);
  const Lanes isLetter = reinterpret_cast<Lanes>(letter < 6);
  values = (digit & isDigit) | ((letter + 10) & isLetter);
  return lanes::allSet(isDigit | isLetter);
}

/// Decodes the 32 characters at in to 16 bytes at out; false when one is no digit.
inline bool bytesOf32(const char *in, std::uint8_t *out, unsigned &sum) {
  Lanes first;
  Lanes second;
  if (!valuesOf16(in, first) || !valuesOf16(in + 16, second)) return false;
  // Each even lane takes its high digit shifted up and the odd lane's low digit (a 16-bit
  // shift brings it down); the even lanes then close up, one pack instruction on x86-64.
  using Pairs = std::uint16_t __attribute__((vector_size(16)));
  const auto spell = [](Lanes v) {
    return reinterpret_cast<Lanes>(reinterpret_cast<Pairs>(v << 4) | (reinterpret_cast<Pairs>(v) >> 8));
  };
  const Lanes bytes = __builtin_shufflevector(spell(first), spell(second), 0, 2, 4, 6, 8, 10, 12, 14, 16, 18,
                                              20, 22, 24, 26, 28, 30);
  std::memcpy(out, &bytes, 16);
  sum += sumOf(bytes);
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
  unsigned sum = 0;
  std::size_t i = 0;
  for (; i + 16 <= n; i += 16, out += 32)
    sum += digitsOf16(data + i, out);
  for (; i < n; ++i, out += 2) {
    putHexByte(out, data[i]);
    sum += data[i];
  }
  return sum;
}

bool Unsigned::getHexBytes(const char *in, std::size_t n, std::uint8_t *out, unsigned &sum) {
  std::size_t i = 0;
  for (; i + 16 <= n; i += 16, in += 32)
    if (!bytesOf32(in, out + i, sum)) return false;
  if (i + 8 <= n) {
    // Eight more bytes: their digits padded with zeros to a whole step.
    char padded[32];
    std::memcpy(padded, in, 16);
    std::memset(padded + 16, '0', 16);
    std::uint8_t bytes[16];
    if (!bytesOf32(padded, bytes, sum)) return false;
    std::memcpy(out + i, bytes, 8);
    i += 8;
    in += 16;
  }
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
