// Shared by the fuzz targets: the S-record line rules restated plainly, as the oracle the
// codec and the file reader are checked against.
#pragma once

#include "flashDevice/Bytes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fuzzing {

/// What a well-formed line holds.
struct ExpectedRecord {
  char type = 0;
  std::uint32_t address = 0;
  vantrel::flashDevice::Bytes data; // data and header records only
};

inline int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

/// The record rules, step by step: type, stated checksum, checksum of the rest, count,
/// address (0 for a header), data pairs.
inline std::optional<ExpectedRecord> reference(std::string_view line) {
  if (line.size() < 2 || line[0] != 'S') return std::nullopt;
  int width = 0;
  switch (line[1]) {
  case '0':
  case '1':
  case '5':
  case '9':
    width = 2;
    break;
  case '2':
  case '8':
    width = 3;
    break;
  case '3':
  case '7':
    width = 4;
    break;
  default:
    return std::nullopt;
  }
  const std::string_view body = line.substr(2);
  if (body.size() < 4 || body.size() % 2 != 0) return std::nullopt;
  std::vector<unsigned> bytes;
  for (std::size_t i = 0; i < body.size(); i += 2) {
    const int hi = hexDigit(body[i]), lo = hexDigit(body[i + 1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    bytes.push_back(static_cast<unsigned>(hi * 16 + lo));
  }
  const unsigned stated = bytes.back();
  bytes.pop_back();
  unsigned sum = 0;
  for (unsigned b : bytes)
    sum += b;
  if ((~sum & 0xFFu) != stated) return std::nullopt;
  if (bytes.size() != bytes[0]) return std::nullopt;
  if (bytes.size() < 1 + static_cast<std::size_t>(width)) return std::nullopt;
  ExpectedRecord e;
  e.type = line[1];
  for (int i = 0; i < width; ++i)
    e.address = (e.address << 8) | bytes[1 + static_cast<std::size_t>(i)];
  if (e.type == '0' && e.address != 0) return std::nullopt;
  if (e.type <= '3') {
    for (std::size_t i = 1 + static_cast<std::size_t>(width); i < bytes.size(); ++i)
      e.data.push_back(static_cast<std::uint8_t>(bytes[i]));
  }
  return e;
}

/// Latin-1 bytes as UTF-8 text.
inline std::string latin1(const vantrel::flashDevice::Bytes &bytes) {
  std::string text;
  for (std::uint8_t b : bytes) {
    if (b < 0x80) {
      text += static_cast<char>(b);
    } else {
      text += static_cast<char>(0xC0 | (b >> 6));
      text += static_cast<char>(0x80 | (b & 0x3F));
    }
  }
  return text;
}

} // namespace fuzzing
