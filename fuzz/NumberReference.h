// Shared by the fuzz targets: the number rules of option values and map fields, restated
// on top of the standard library's own number reader (std::from_chars) so that the oracle
// shares no code with the digit loops it checks.
#pragma once

#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace fuzzing {

/// The digits in radix as a value no larger than limit (at most 2^63); nothing when they are
/// empty, hold anything but digits of radix, or exceed the limit.
inline std::optional<std::uint64_t> magnitude(std::string_view digits, int radix, std::uint64_t limit) {
  // from_chars accepts no sign, prefix or blank for an unsigned type: only digits remain.
  std::uint64_t value = 0;
  const char *end = digits.data() + digits.size();
  const auto [stop, error] = std::from_chars(digits.data(), end, value, radix);
  if (digits.empty() || error != std::errc() || stop != end || value > limit) return std::nullopt;
  return value;
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
  // A second sign is no digit; the signed reader below would take it.
  if (t.empty() || t[0] == '-' || t[0] == '+') return std::nullopt;
  // The signed reader takes the sign itself, so the most negative value needs no special case.
  const std::string text = (negative ? "-" : "") + std::string(t);
  std::int64_t value = 0;
  const char *end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value, radix);
  if (error != std::errc() || stop != end) return std::nullopt;
  return value;
}

} // namespace fuzzing
