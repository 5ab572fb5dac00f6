// Tests of the hexadecimal conversions and the bit mirror.
#include "flashDevice/Unsigned.h"
#include "flashDevice/FlashDeviceMessages.h"

#include <gtest/gtest.h>

#include <stdexcept>

using vantrel::flashDevice::Unsigned;
namespace msg = vantrel::flashDevice::messages;

namespace {

template <typename F> std::string invalidArgumentMessage(F f) {
  try {
    f();
  } catch (const std::invalid_argument &e) {
    return e.what();
  }
  return "<no exception>";
}

} // namespace

TEST(UnsignedHexFormat, ByteIsTwoUpperCaseDigits) {
  EXPECT_EQ(Unsigned::toHexString(std::uint8_t{0}), "00");
  EXPECT_EQ(Unsigned::toHexString(std::uint8_t{0x0A}), "0A");
  EXPECT_EQ(Unsigned::toHexString(std::uint8_t{0xFF}), "FF");
}

TEST(UnsignedHexFormat, ValueIsPaddedToWidth) {
  EXPECT_EQ(Unsigned::toHexString(std::uint32_t{5}, 2), "0005");
  EXPECT_EQ(Unsigned::toHexString(std::uint32_t{0xABC}, 3), "000ABC");
  EXPECT_EQ(Unsigned::toHexString(std::uint32_t{0x80000000u}, 4), "80000000");
}

TEST(UnsignedHexFormat, TooWideValueKeepsLowOrderDigits) {
  EXPECT_EQ(Unsigned::toHexString(std::uint32_t{0x12345}, 2), "2345");
  EXPECT_EQ(Unsigned::toHexString(std::uint32_t{0xFFFFFFFFu}, 1), "FF");
}

TEST(UnsignedHexFormat, BadWidthIsRefused) {
  EXPECT_EQ(invalidArgumentMessage([] { Unsigned::toHexString(std::uint32_t{1}, 0); }), msg::BAD_WIDTH);
  EXPECT_EQ(invalidArgumentMessage([] { Unsigned::toHexString(std::uint32_t{1}, 5); }), msg::BAD_WIDTH);
}

TEST(UnsignedHexParse, ChompIntTakesDigitsOfEitherCase) {
  std::string buffer = "aBcD12ff";
  EXPECT_EQ(Unsigned::chompInt(buffer, 2), 0xABCDu);
  EXPECT_EQ(buffer, "12ff");
  EXPECT_EQ(Unsigned::chompByte(buffer), 0x12);
  EXPECT_EQ(buffer, "ff");
  EXPECT_EQ(Unsigned::chompByte(buffer), 0xFF);
  EXPECT_EQ(buffer, "");
}

TEST(UnsignedHexParse, FourByteValueIsUnsigned) {
  std::string buffer = "FFFFFFFE";
  EXPECT_EQ(Unsigned::chompInt(buffer, 4), 0xFFFFFFFEu);
}

TEST(UnsignedHexParse, ClipByteTakesTheLastTwoDigits) {
  std::string buffer = "0102A5";
  EXPECT_EQ(Unsigned::clipByte(buffer), 0xA5);
  EXPECT_EQ(buffer, "0102");
}

TEST(UnsignedHexParse, BadInputIsRefusedAndLeavesTheBuffer) {
  std::string shortBuffer = "123";
  EXPECT_EQ(invalidArgumentMessage([&] { Unsigned::chompInt(shortBuffer, 2); }),
            std::string(msg::TOO_FEW_DIGITS) + "123");
  EXPECT_EQ(shortBuffer, "123");
  std::string notHex = "12G4";
  EXPECT_EQ(invalidArgumentMessage([&] { Unsigned::chompInt(notHex, 2); }),
            std::string(msg::NOT_HEXADECIMAL) + "12G4");
  EXPECT_EQ(notHex, "12G4");
  std::string clip = "Z1";
  EXPECT_EQ(invalidArgumentMessage([&] { Unsigned::clipByte(clip); }),
            std::string(msg::NOT_HEXADECIMAL) + "Z1");
  std::string one = "1";
  EXPECT_EQ(invalidArgumentMessage([&] { Unsigned::clipByte(one); }), std::string(msg::TOO_FEW_DIGITS) + "1");
}

TEST(UnsignedHexParse, DigitTableAcceptsOnlyHexDigits) {
  int digits = 0;
  for (int c = 0; c < 256; ++c)
    if (Unsigned::hexDigitValue(static_cast<char>(c)) >= 0) ++digits;
  EXPECT_EQ(digits, 22);
  EXPECT_EQ(Unsigned::hexDigitValue('f'), 15);
  EXPECT_EQ(Unsigned::hexDigitValue('F'), 15);
  EXPECT_EQ(Unsigned::hexDigitValue('g'), -1);
}

TEST(UnsignedHexBulk, EveryCharacterAnywhereInAWordDecodesAsItDoesAlone) {
  // Fifty digits: thirty-two decoded at once, sixteen padded to a whole step, one pair alone.
  for (int c = 0; c < 256; ++c) {
    for (std::size_t at = 0; at < 50; ++at) {
      std::string text = "0aF93cDe7B41fA8d2C5b6E9f0A1c3D7e8B2a4F6c0D9e1B3a5C";
      text[at] = static_cast<char>(c);
      bool expectOk = true;
      unsigned expectSum = 0;
      std::uint8_t expected[25];
      for (std::size_t i = 0; i < 25; ++i) {
        const int value = Unsigned::getHexByte(text.data() + 2 * i);
        expectOk = expectOk && value >= 0;
        expected[i] = static_cast<std::uint8_t>(value);
        expectSum += static_cast<unsigned>(value);
      }
      std::uint8_t got[25];
      unsigned sum = 0;
      ASSERT_EQ(Unsigned::getHexBytes(text.data(), 25, got, sum), expectOk) << c << " at " << at;
      if (!expectOk) continue;
      EXPECT_EQ(std::string(got, got + 25), std::string(expected, expected + 25)) << c << " at " << at;
      EXPECT_EQ(sum, expectSum);
    }
  }
}

TEST(UnsignedHexBulk, EncodingMatchesByteByByte) {
  std::uint8_t data[263];
  for (std::size_t i = 0; i < sizeof data; ++i)
    data[i] = static_cast<std::uint8_t>(i * 37 + 11);
  for (std::size_t n : {0u, 1u, 3u, 4u, 7u, 256u, 263u}) {
    std::string bulk(2 * n, '?');
    std::string single(2 * n, '?');
    unsigned expectSum = 0;
    for (std::size_t i = 0; i < n; ++i) {
      Unsigned::putHexByte(single.data() + 2 * i, data[i]);
      expectSum += data[i];
    }
    EXPECT_EQ(Unsigned::putHexBytes(bulk.data(), data, n), expectSum) << n;
    EXPECT_EQ(bulk, single) << n;
  }
}

TEST(UnsignedReverseByte, MirrorsTheBits) {
  EXPECT_EQ(Unsigned::reverseByte(0x01), 0x80);
  EXPECT_EQ(Unsigned::reverseByte(0x6A), 0x56);
  EXPECT_EQ(Unsigned::reverseByte(0x83), 0xC1);
  EXPECT_EQ(Unsigned::reverseByte(0x00), 0x00);
  EXPECT_EQ(Unsigned::reverseByte(0xFF), 0xFF);
}

TEST(UnsignedReverseByte, IsItsOwnInverseAndMatchesBitByBitMirror) {
  for (int v = 0; v < 256; ++v) {
    const auto b = static_cast<std::uint8_t>(v);
    unsigned mirrored = 0;
    for (int bit = 0; bit < 8; ++bit)
      if (b & (1u << bit)) mirrored |= 1u << (7 - bit);
    EXPECT_EQ(Unsigned::reverseByte(b), mirrored) << v;
    EXPECT_EQ(Unsigned::reverseByte(Unsigned::reverseByte(b)), b);
  }
}
