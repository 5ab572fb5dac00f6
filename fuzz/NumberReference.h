// Shared by the fuzz targets: the number rules of option values and map fields restated
// plainly (optional sign, radix prefix, signed 64-bit range).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace fuzzing {

inline int digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return 99;
}

/// The digits in radix as a value no larger than limit; nothing otherwise.
inline std::optional<unsigned __int128> magnitude(std::string_view digits, int radix,
                                                  unsigned __int128 limit) {
  if (digits.empty()) return std::nullopt;
  unsigned __int128 v = 0;
  for (char c : digits) {
    if (digit(c) >= radix) return std::nullopt;
    v = v * static_cast<unsigned>(radix) + static_cast<unsigned>(digit(c));
    if (v > limit) return std::nullopt;
  }
  return v;
}

/// Optional sign; "0x", "0X" or "#" hexadecimal; a leading 0 (with more after it) octal;
/// decimal otherwise; the value must fit a signed 64-bit integer.
inline std::optional<std::int64_t> referenceNumber(std::string_view t) {
  bool negative = false;
  if (!t.empty() && (t[0] == '+' || t[0] == '-')) {
    negative = t[0] == '-';
    t.remove_prefix(1);
  }
  int radix = 10;
  if (t.size() >= 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
    radix = 16;
    t.remove_prefix(2);
  } else if (!t.empty() && t[0] == '#') {
    radix = 16;
    t.remove_prefix(1);
  } else if (t.size() > 1 && t[0] == '0') {
    radix = 8;
    t.remove_prefix(1);
  }
  const unsigned __int128 limit =
      negative ? (static_cast<unsigned __int128>(1) << 63) : (static_cast<unsigned __int128>(1) << 63) - 1;
  const auto m = magnitude(t, radix, limit);
  if (!m) return std::nullopt;
  const __int128 v = negative ? -static_cast<__int128>(*m) : static_cast<__int128>(*m);
  return static_cast<std::int64_t>(v);
}

} // namespace fuzzing
