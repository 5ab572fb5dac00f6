// Fixed message texts of the flashDevice area, kept together so tests use the same constants.
#pragma once

namespace vantrel::flashDevice::messages {

/// Text that is not a run of hexadecimal digits was given to a hexadecimal parse.
inline constexpr const char *NOT_HEXADECIMAL = "Not a hexadecimal number: ";
/// A hexadecimal parse asked for more digits than the buffer holds.
inline constexpr const char *TOO_FEW_DIGITS = "Not enough hexadecimal digits: ";
/// A byte width outside 1..4 was given to a hexadecimal conversion of a 32-bit value.
inline constexpr const char *BAD_WIDTH = "Byte width must be 1 to 4";

} // namespace vantrel::flashDevice::messages
