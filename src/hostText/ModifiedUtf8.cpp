// Modified UTF-8 <-> standard UTF-8: only supplementary characters (and NUL) differ.
#include "hostText/ModifiedUtf8.h"

#include "hostText/Utf8.h"

#include <cstdint>

namespace vantrel::hostText {
namespace {

// A three-byte sequence encoding a surrogate in [lo, hi]; its value, or 0.
std::uint32_t surrogateAt(std::string_view s, std::size_t i, std::uint32_t lo, std::uint32_t hi) {
  if (i >= s.size()) return 0;
  const Utf8Character c = decodeUtf8Character(s, i);
  return c.wellFormed && c.value >= lo && c.value <= hi ? c.value : 0;
}

// A well-formed four-byte sequence at i: its code point (U+10000..U+10FFFF), or 0.
std::uint32_t supplementaryAt(std::string_view s, std::size_t i) {
  const Utf8Character c = decodeUtf8Character(s, i);
  return c.wellFormed && c.length == 4 ? c.value : 0;
}

} // namespace

std::string toModifiedUtf8(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size() + 8);
  for (std::size_t i = 0; i < utf8.size();) {
    if (utf8[i] == '\0') {
      out += "\xC0\x80";
      ++i;
    } else if (const std::uint32_t cp = supplementaryAt(utf8, i)) {
      const std::uint32_t v = cp - 0x10000u;
      appendUtf8(out, 0xD800u + (v >> 10));
      appendUtf8(out, 0xDC00u + (v & 0x3FFu));
      i += 4;
    } else {
      out += utf8[i++];
    }
  }
  return out;
}

std::string toStandardUtf8(std::string_view modified) {
  std::string out;
  out.reserve(modified.size());
  for (std::size_t i = 0; i < modified.size();) {
    const std::uint32_t high = surrogateAt(modified, i, 0xD800, 0xDBFF);
    const std::uint32_t low = high ? surrogateAt(modified, i + 3, 0xDC00, 0xDFFF) : 0;
    if (high && low) {
      appendUtf8(out, 0x10000u + ((high - 0xD800u) << 10) + (low - 0xDC00u));
      i += 6;
    } else {
      out += modified[i++];
    }
  }
  return out;
}

} // namespace vantrel::hostText
