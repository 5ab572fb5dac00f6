// Independent copies of what the conversion flows read from the converter's outputs, kept
// apart from the converter's own code so that its outputs are judged by the readers'
// rules: the design size from a bitstream header, the design size from a serial memory
// map, and the four addresses of a loader memory map.
#pragma once

#include <cstdint>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace vantrel::suite::testing {

/// Design size in bytes from the first 1024 bytes of a serial image (0: none found).
inline std::int64_t designSizeFromHeader(const std::vector<std::uint8_t> &image) {
  std::vector<std::uint8_t> h(
      image.begin(), image.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(1024, image.size())));
  h.resize(1024, 0);
  auto bit = [&](std::size_t i, int b) -> std::uint32_t { return (h[i] >> b) & 1u; };
  std::uint32_t f = 0;
  for (int i = 0; i < 8; ++i)
    f |= bit(52 + i, 1) << i;
  auto in = [&](std::uint32_t lo, std::uint32_t hi) { return f >= lo && f <= hi; };
  const bool ruleA = in(0, 20) || in(32, 35) || f == 66 || in(145, 150) || in(225, 228);
  const bool ruleB = in(241, 247);
  std::uint64_t n = 0;
  if (ruleA) {
    for (int i = 0; i <= 6; ++i)
      n |= static_cast<std::uint64_t>(bit(33 + i, 3)) << (25 + i);
    for (int j = 0; j <= 24; ++j)
      n |= static_cast<std::uint64_t>(bit(48 + j, 2)) << j;
  } else {
    std::size_t p = 0;
    while (p < h.size() && h[p] == 0xFF)
      ++p;
    if (p >= h.size() || h[p] != 0x6A || p + 40 >= h.size()) return 0;
    if (ruleB) {
      for (int k = 1; k <= 7; ++k)
        n |= static_cast<std::uint64_t>(bit(p + k, 3)) << (24 + k);
      for (int m = 16; m <= 40; ++m)
        n |= static_cast<std::uint64_t>(bit(p + m, 2)) << (m - 16);
    } else {
      n = h[p + 5] + 256ull * h[p + 6] + 65536ull * h[p + 7] + 16777216ull * h[p + 8];
    }
  }
  return static_cast<std::int64_t>((n + 7) / 8);
}

/// The family code that decides the header rule.
inline std::uint32_t familyCodeOf(const std::vector<std::uint8_t> &h) {
  std::uint32_t f = 0;
  for (int i = 0; i < 8; ++i)
    f |= ((h[52 + i] >> 1) & 1u) << i;
  return f;
}

/// Design size from a serial memory map: the first "Page_0" line's third field, without
/// "0x" and the zeros after it, read as hexadecimal, plus 1; -1 when missing.
inline std::int64_t designSizeFromMap(const std::string &map) {
  const std::size_t at = map.find("Page_0");
  if (at == std::string::npos) return -1;
  const std::size_t eol = map.find('\n', at);
  std::istringstream fields(map.substr(at, eol == std::string::npos ? std::string::npos : eol - at));
  std::vector<std::string> parts;
  for (std::string f; fields >> f;)
    parts.push_back(f);
  if (parts.size() < 3) return -1;
  const std::string digits = std::regex_replace(parts[2], std::regex("0x0*"), "");
  if (digits.empty()) return -1;
  try {
    std::size_t used = 0;
    const long long v = std::stoll(digits, &used, 16);
    if (used != digits.size()) return -1;
    return v + 1;
  } catch (...) {
    return -1;
  }
}

/// A number by the loader's rules: sign, "0x"/"0X"/"#" hexadecimal, leading "0" octal.
inline std::optional<long long> decodeNumber(std::string t) {
  bool negative = false;
  if (!t.empty() && (t[0] == '-' || t[0] == '+')) {
    negative = t[0] == '-';
    t.erase(0, 1);
  }
  int base = 10;
  if (t.rfind("0x", 0) == 0 || t.rfind("0X", 0) == 0) {
    base = 16;
    t.erase(0, 2);
  } else if (t.rfind("#", 0) == 0) {
    base = 16;
    t.erase(0, 1);
  } else if (t.size() > 1 && t[0] == '0') {
    base = 8;
    t.erase(0, 1);
  }
  if (t.empty()) return std::nullopt;
  try {
    std::size_t used = 0;
    const long long v = std::stoll(t, &used, base);
    if (used != t.size()) return std::nullopt;
    return negative ? -v : v;
  } catch (...) {
    return std::nullopt;
  }
}

/// The four addresses of a loader map: image start and end, option-bit start and end.
struct LoaderAddresses {
  long long start = 0, end = 0, optionStart = 0, optionEnd = 0;
};

/// Reads lines 2 and 3 of a loader map as the loader flow does (lines end at LF, CR or
/// CR LF; fields are separated by runs of white space, a leading blank makes an empty
/// field 0); nothing when a line, field or number is missing.
inline std::optional<LoaderAddresses> loaderAddresses(const std::string &map) {
  std::vector<std::string> lines;
  std::string cur;
  for (std::size_t i = 0; i < map.size(); ++i) {
    const char c = map[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(cur);
      cur.clear();
      if (c == '\r' && i + 1 < map.size() && map[i + 1] == '\n') ++i;
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) lines.push_back(cur);
  if (lines.size() < 4) return std::nullopt;
  auto fields = [](const std::string &line) {
    std::vector<std::string> out;
    std::string f;
    bool inBlank = false;
    for (char c : line) {
      if (c == ' ' || c == '\t') {
        if (!inBlank) out.push_back(f);
        f.clear();
        inBlank = true;
      } else {
        f += c;
        inBlank = false;
      }
    }
    if (!inBlank) out.push_back(f);
    return out;
  };
  const auto l2 = fields(lines[2]);
  const auto l3 = fields(lines[3]);
  if (l2.size() < 3 || l3.size() < 4) return std::nullopt;
  const auto a = decodeNumber(l2[1]), b = decodeNumber(l2[2]), c = decodeNumber(l3[2]),
             d = decodeNumber(l3[3]);
  if (!a || !b || !c || !d) return std::nullopt;
  return LoaderAddresses{*a, *b, *c, *d};
}

} // namespace vantrel::suite::testing
