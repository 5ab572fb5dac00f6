// Decoding option values as signed 64-bit integers with the radix prefixes.
#include "commandApplication/NumberDecoding.h"

namespace vantrel::commandApplication {
namespace {

int digitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return 99;
}

} // namespace

std::optional<std::int64_t> decodeInteger(const std::string &text) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  unsigned radix = 10;
  if (text.compare(i, 2, "0x") == 0 || text.compare(i, 2, "0X") == 0) {
    radix = 16;
    i += 2;
  } else if (text.compare(i, 1, "#") == 0) {
    radix = 16;
    i += 1;
  } else if (text.compare(i, 1, "0") == 0 && i + 1 < text.size()) {
    radix = 8;
    i += 1;
  }
  if (i >= text.size()) return std::nullopt; // nothing but a sign and/or a prefix

  // The magnitude is gathered unsigned so that the most negative value, whose magnitude
  // is one past the largest positive value, decodes too.
  const std::uint64_t limit = negative ? (std::uint64_t{1} << 63) : (std::uint64_t{1} << 63) - 1;
  std::uint64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    const int digit = digitValue(text[i]);
    if (digit >= static_cast<int>(radix))
      return std::nullopt; // also refuses blanks, a second sign and any other character
    const auto d = static_cast<std::uint64_t>(digit);
    if (magnitude > (limit - d) / radix) return std::nullopt;
    magnitude = magnitude * radix + d;
  }
  if (negative)
    return magnitude == (std::uint64_t{1} << 63) ? INT64_MIN : -static_cast<std::int64_t>(magnitude);
  return static_cast<std::int64_t>(magnitude);
}

} // namespace vantrel::commandApplication
