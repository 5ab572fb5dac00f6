// Unsigned hexadecimal conversions and the bit mirror of a byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vantrel::flashDevice {

/// Static helpers for unsigned values written as hexadecimal text. Output digits are
/// upper-case; input digits may be of either case. Conversions go through lookup tables
/// and never allocate per character.
class Unsigned {
public:
  Unsigned() = delete;

  /// The byte as exactly 2 upper-case hexadecimal digits.
  static std::string toHexString(std::uint8_t value);
  /// The value as 2 x width upper-case digits (width 1..4 bytes): zero-padded on the left
  /// when shorter; when longer, only the low-order 2 x width digits.
  static std::string toHexString(std::uint32_t value, int width);

  /// Parses the first 2 x width characters of buffer as hexadecimal, removes them and
  /// returns the value. Throws std::invalid_argument when they are missing or not hex.
  static std::uint32_t chompInt(std::string &buffer, int width);
  /// chompInt for one byte (the first 2 characters).
  static std::uint8_t chompByte(std::string &buffer);
  /// Parses the last 2 characters of buffer as a hexadecimal byte and removes them.
  static std::uint8_t clipByte(std::string &buffer);

  /// The byte with its bit order mirrored (bit 0 with bit 7, 1 with 6, ...).
  static std::uint8_t reverseByte(std::uint8_t b);

  /// Value of one hexadecimal digit, or -1 when c is not one.
  static int hexDigitValue(char c) { return DIGIT_VALUE[static_cast<unsigned char>(c)]; }
  /// Writes the byte as 2 upper-case digits at out (no terminator).
  static void putHexByte(char *out, std::uint8_t value) {
    const char *pair = &HEX_PAIRS[2 * value];
    out[0] = pair[0];
    out[1] = pair[1];
  }
  /// Decodes 2 hexadecimal digits at in; -1 when either is not a digit.
  static int getHexByte(const char *in) {
    const int hi = hexDigitValue(in[0]);
    const int lo = hexDigitValue(in[1]);
    return (hi | lo) < 0 ? -1 : (hi << 4) | lo;
  }

  /// Writes n bytes as 2 x n upper-case digits at out (no terminator) and returns the sum
  /// of the bytes.
  static unsigned putHexBytes(char *out, const std::uint8_t *data, std::size_t n);
  /// Decodes the 2 x n digits at in into n bytes at out and adds their values to sum;
  /// false when a character is no hexadecimal digit (out and sum then hold a part). Both
  /// bulk conversions take sixteen characters at a time in vector arithmetic.
  static bool getHexBytes(const char *in, std::size_t n, std::uint8_t *out, unsigned &sum);

private:
  static const signed char DIGIT_VALUE[256];
  static const char HEX_PAIRS[513];
};

} // namespace vantrel::flashDevice
