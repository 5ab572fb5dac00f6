// The string hash that orders the option tables: a polynomial over 16-bit code units.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vantrel::commandOptions {

/// The 16-bit code units of a byte string. Arguments and option names arrive as bytes
/// (UTF-8 or an ANSI code page): a string that is valid UTF-8 is decoded to UTF-16 (code
/// points above U+FFFF as surrogate pairs); any other string counts each byte as one unit.
std::vector<std::uint16_t> toCodeUnits(const std::string &text);

/// h = 31*h + unit over the code units, modulo 2^32, starting at 0.
std::uint32_t codeUnitHash(const std::string &text);

/// The hash folded for bucket selection: h XOR (h >> 16), the shift unsigned.
std::uint32_t foldedHash(const std::string &text);

} // namespace vantrel::commandOptions
