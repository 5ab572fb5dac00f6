// Reading addresses and counts written as text: "0x"/"0X"/"#" hexadecimal, a leading "0"
// octal, decimal otherwise, with an optional "+" sign.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vantrel::suite {

/// The value of text as an unsigned 32-bit number; nothing when the text is empty, holds
/// anything but the digits of its base, is negative, or does not fit 32 bits.
std::optional<std::uint32_t> parseNumberText(std::string_view text);

/// The value as "0x%08X".
std::string hex8(std::uint32_t value);

} // namespace vantrel::suite
