// Unsigned hexadecimal conversions through lookup tables, and the bit mirror of a byte.
#include "flashDevice/Unsigned.h"

#include "flashDevice/FlashDeviceMessages.h"

#include <stdexcept>

namespace vantrel::flashDevice {

namespace {

constexpr bool isValidWidth(int width) {
  return width >= 1 && width <= 4;
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
