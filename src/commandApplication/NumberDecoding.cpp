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

std::optional<std::uint64_t> decodeDigits(std::string_view digits, unsigned radix, std::uint64_t limit) {
  if (digits.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (char c : digits) {
    const int digit = digitValue(c);
    if (digit >= static_cast<int>(radix)) return std::nullopt;
    const auto d = static_cast<std::uint64_t>(digit);
    if (value > (limit - d) / radix) return std::nullopt;
    value = value * radix + d;
  }
  return value;
}

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
  // The magnitude is gathered unsigned so that the most negative value, whose magnitude
  // is one past the largest positive value, decodes too. Nothing but a sign and a prefix,
  // blanks, a second sign and any other character are refused by the digit loop.
  const std::uint64_t limit = negative ? (std::uint64_t{1} << 63) : (std::uint64_t{1} << 63) - 1;
  const auto magnitude = decodeDigits(std::string_view(text).substr(i), radix, limit);
  if (!magnitude) return std::nullopt;
  if (negative)
    return *magnitude == (std::uint64_t{1} << 63) ? INT64_MIN : -static_cast<std::int64_t>(*magnitude);
  return static_cast<std::int64_t>(*magnitude);
}

} // namespace vantrel::commandApplication
