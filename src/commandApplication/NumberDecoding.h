// Decoding option values as signed 64-bit integers with the radix prefixes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantrel::commandApplication {

/// Decodes text as a signed 64-bit integer: an optional "-" or "+", then "0x", "0X" or
/// "#" and hexadecimal digits, or "0" and further octal digits, or decimal digits. No
/// blanks anywhere, no second sign; the value must fit the signed 64-bit range (down to
/// -9223372036854775808 with the minus sign). Nothing when the text does not decode.
std::optional<std::int64_t> decodeInteger(const std::string &text);

/// The value of digits in radix (2 to 36; letters of either case stand for 10 and up), as
/// long as it is no larger than limit. Nothing when digits is empty, holds anything that
/// is no digit of radix (a blank, a sign, a prefix) or exceeds limit. The one digit loop
/// of every number rule: option values here, the converter's map fields in bitmorph.
std::optional<std::uint64_t> decodeDigits(std::string_view digits, unsigned radix, std::uint64_t limit);

} // namespace vantrel::commandApplication
