// Decoding option values as signed 64-bit integers with the radix prefixes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vantrel::commandApplication {

/// Decodes text as a signed 64-bit integer: an optional "-" or "+", then "0x", "0X" or
/// "#" and hexadecimal digits, or "0" and further octal digits, or decimal digits. No
/// blanks anywhere, no second sign; the value must fit the signed 64-bit range (down to
/// -9223372036854775808 with the minus sign). Nothing when the text does not decode.
std::optional<std::int64_t> decodeInteger(const std::string &text);

} // namespace vantrel::commandApplication
