// The string hash that orders the option tables: a polynomial over 16-bit code units.
#include "commandOptions/CodeUnitHash.h"

#include "hostText/Utf16.h"
#include "hostText/Utf8.h"

namespace vantrel::commandOptions {

std::vector<std::uint16_t> toCodeUnits(const std::string &text) {
  if (hostText::isValidUtf8(text)) {
    const std::u16string utf16 = hostText::utf8ToUtf16(text);
    return std::vector<std::uint16_t>(utf16.begin(), utf16.end());
  }
  // Not UTF-8 (an ANSI code page, or damaged bytes): every byte is one unit.
  std::vector<std::uint16_t> units;
  units.reserve(text.size());
  for (char c : text)
    units.push_back(static_cast<unsigned char>(c));
  return units;
}

std::uint32_t codeUnitHash(const std::string &text) {
  std::uint32_t h = 0;
  for (std::uint16_t unit : toCodeUnits(text))
    h = 31u * h + unit; // unsigned arithmetic wraps modulo 2^32
  return h;
}

std::uint32_t foldedHash(const std::string &text) {
  const std::uint32_t h = codeUnitHash(text);
  return h ^ (h >> 16);
}

} // namespace vantrel::commandOptions
