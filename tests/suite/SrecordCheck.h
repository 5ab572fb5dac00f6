// A strict S-record reader for the tests, by the rules the conversion application's own
// reader applies: lines end at LF, CR or CR LF and are taken exactly as read; types S0,
// S1-S3, S5, S7-S9 only; count and checksum verified.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace vantrel::suite::testing {

/// Every data byte by address; nothing when any line is not a well-formed record.
inline std::optional<std::map<std::uint32_t, std::uint8_t>> readSrecordsStrict(const std::string &text) {
  std::map<std::uint32_t, std::uint8_t> bytes;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t eol = text.find_first_of("\r\n", pos);
    if (eol == std::string::npos) eol = text.size();
    const std::string line = text.substr(pos, eol - pos);
    pos = eol + 1;
    if (eol + 1 < text.size() && text[eol] == '\r' && text[eol + 1] == '\n') ++pos;
    if (line.size() < 6 || line[0] != 'S' || (line.size() - 2) % 2 != 0) return std::nullopt;
    const char t = line[1];
    int width;
    if (t == '0' || t == '1' || t == '5' || t == '9')
      width = 2;
    else if (t == '2' || t == '8')
      width = 3;
    else if (t == '3' || t == '7')
      width = 4;
    else
      return std::nullopt;
    std::vector<unsigned> b;
    for (std::size_t i = 2; i < line.size(); i += 2) {
      const std::string pair = line.substr(i, 2);
      if (pair.find_first_not_of("0123456789ABCDEFabcdef") != std::string::npos) return std::nullopt;
      b.push_back(static_cast<unsigned>(std::stoul(pair, nullptr, 16)));
    }
    if (b[0] != b.size() - 1) return std::nullopt;
    unsigned sum = 0;
    for (std::size_t i = 0; i + 1 < b.size(); ++i)
      sum += b[i];
    if ((~sum & 0xFFu) != b.back()) return std::nullopt;
    if (b.size() < static_cast<std::size_t>(width) + 2) return std::nullopt;
    std::uint32_t address = 0;
    for (int i = 0; i < width; ++i)
      address = (address << 8) | b[1 + static_cast<std::size_t>(i)];
    if (t == '1' || t == '2' || t == '3') {
      for (std::size_t i = 1 + static_cast<std::size_t>(width); i + 1 < b.size(); ++i) {
        bytes[address++] = static_cast<std::uint8_t>(b[i]);
      }
    }
  }
  return bytes;
}

} // namespace vantrel::suite::testing
