// Single S-record lines: table-driven parsing with every well-formedness check, formatting.
#include "memory/SrecordLine.h"

#include "flashDevice/Unsigned.h"

namespace vantrel::memory {

using flashDevice::Unsigned;

bool parseSrecordLine(std::string_view text, SrecordLine &out) {
  return parseSrecordLine(text, out, out.data);
}

bool parseSrecordLine(std::string_view text, SrecordLine &out, std::uint8_t *data) {
  // Type: exactly a capital S and one of the eight digits.
  if (text.size() < 2 || text[0] != 'S') return false;
  const int addrLen = srecordAddressWidth(text[1]);
  if (addrLen == 0) return false;
  // After the type: count, address and data digits, then 2 checksum digits, all in pairs.
  const std::string_view body = text.substr(2);
  if (body.size() % 2 != 0 || body.size() < 4) return false;
  const std::size_t pairs = body.size() / 2 - 1; // without the checksum
  // The count byte covers address, data and checksum; it is one byte, so a longer line
  // can never match it. The count and the address must fit before the checksum.
  const std::size_t head = 1 + static_cast<std::size_t>(addrLen);
  if (pairs > 255 || pairs < head) return false;
  std::uint8_t fields[5];
  unsigned sum = 0;
  const char *digits = body.data();
  for (std::size_t i = 0; i < head; ++i, digits += 2) {
    const int value = Unsigned::getHexByte(digits);
    if (value < 0) return false;
    fields[i] = static_cast<std::uint8_t>(value);
    sum += static_cast<unsigned>(value);
  }
  // The data bytes go where the caller keeps them: decoded once, never copied.
  const std::size_t dataLen = pairs - head;
  if (!Unsigned::getHexBytes(digits, dataLen, data, sum)) return false;
  digits += 2 * dataLen;
  const int stated = Unsigned::getHexByte(digits);
  if (stated < 0 || static_cast<int>(~sum & 0xFFu) != stated) return false;
  // The count names the pairs that follow it, the checksum included.
  if (fields[0] != pairs) return false;
  std::uint32_t address = 0;
  for (int i = 0; i < addrLen; ++i)
    address = (address << 8) | fields[1 + i];
  if (text[1] == '0' && address != 0) return false;
  out.type = text[1];
  out.addrLen = addrLen;
  out.address = address;
  out.dataLen = dataLen;
  return true;
}

std::size_t formatRecord(char *out, char typeDigit, int addrLen, std::uint32_t address,
                         const std::uint8_t *data, std::size_t n) {
  const auto count = static_cast<unsigned>(addrLen + n + 1);
  char *p = out;
  *p++ = 'S';
  *p++ = typeDigit;
  Unsigned::putHexByte(p, static_cast<std::uint8_t>(count));
  p += 2;
  // The checksum is the ones' complement of the low byte of the sum of count, address and
  // data bytes; the type is not part of it.
  unsigned sum = count;
  for (int i = addrLen - 1; i >= 0; --i) {
    const auto b = static_cast<std::uint8_t>(i < 4 ? address >> (8 * i) : 0);
    Unsigned::putHexByte(p, b);
    p += 2;
    sum += b;
  }
  sum += Unsigned::putHexBytes(p, data, n);
  p += 2 * n;
  Unsigned::putHexByte(p, static_cast<std::uint8_t>(~sum & 0xFFu));
  p += 2;
  return static_cast<std::size_t>(p - out);
}

} // namespace vantrel::memory
