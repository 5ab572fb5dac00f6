// The string hash that orders the option tables: a polynomial over 16-bit code units.
#include "commandOptions/CodeUnitHash.h"

namespace vantrel::commandOptions {

bool decodeUtf8(const std::string &text, std::vector<std::uint32_t> &codePoints) {
  codePoints.clear();
  const std::size_t n = text.size();
  std::size_t i = 0;
  while (i < n) {
    const auto b0 = static_cast<unsigned char>(text[i]);
    std::uint32_t cp = 0;
    std::size_t len = 0;
    std::uint32_t min = 0;
    if (b0 < 0x80) {
      codePoints.push_back(b0);
      ++i;
      continue;
    } else if ((b0 & 0xE0) == 0xC0) {
      cp = b0 & 0x1F;
      len = 2;
      min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
      cp = b0 & 0x0F;
      len = 3;
      min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
      cp = b0 & 0x07;
      len = 4;
      min = 0x10000;
    } else {
      return false;
    }
    if (n - i < len) return false;
    for (std::size_t k = 1; k < len; ++k) {
      const auto b = static_cast<unsigned char>(text[i + k]);
      if ((b & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (b & 0x3F);
    }
    // Overlong forms, UTF-16 surrogates and values past U+10FFFF are not valid UTF-8.
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    codePoints.push_back(cp);
    i += len;
  }
  return true;
}

std::vector<std::uint16_t> toCodeUnits(const std::string &text) {
  std::vector<std::uint16_t> units;
  std::vector<std::uint32_t> codePoints;
  if (decodeUtf8(text, codePoints)) {
    units.reserve(codePoints.size());
    for (std::uint32_t cp : codePoints) {
      if (cp < 0x10000) {
        units.push_back(static_cast<std::uint16_t>(cp));
      } else {
        const std::uint32_t v = cp - 0x10000;
        units.push_back(static_cast<std::uint16_t>(0xD800 + (v >> 10)));
        units.push_back(static_cast<std::uint16_t>(0xDC00 + (v & 0x3FF)));
      }
    }
  } else {
    // Not UTF-8 (an ANSI code page, or damaged bytes): every byte is one unit.
    units.reserve(text.size());
    for (char c : text)
      units.push_back(static_cast<unsigned char>(c));
  }
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
