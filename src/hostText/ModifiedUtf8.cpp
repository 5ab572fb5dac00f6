// Modified UTF-8 <-> standard UTF-8: only supplementary characters (and NUL) differ.
#include "hostText/ModifiedUtf8.h"

#include <cstdint>

namespace vantrel::hostText {
namespace {

unsigned char byteAt(std::string_view s, std::size_t i) {
  return static_cast<unsigned char>(s[i]);
}

bool isContinuation(unsigned char b) {
  return (b & 0xC0) == 0x80;
}

// A three-byte sequence ED xx yy encoding a surrogate in [lo, hi]; its value, or 0.
std::uint32_t surrogateAt(std::string_view s, std::size_t i, std::uint32_t lo, std::uint32_t hi) {
  if (i + 3 > s.size()) return 0;
  const unsigned char b1 = byteAt(s, i + 1);
  const unsigned char b2 = byteAt(s, i + 2);
  if (byteAt(s, i) != 0xED || !isContinuation(b1) || !isContinuation(b2)) return 0;
  const std::uint32_t unit = 0xD000u | ((b1 & 0x3Fu) << 6) | (b2 & 0x3Fu);
  return unit >= lo && unit <= hi ? unit : 0;
}

// A well-formed four-byte sequence at i: its code point (U+10000..U+10FFFF), or 0.
std::uint32_t supplementaryAt(std::string_view s, std::size_t i) {
  if (i + 4 > s.size()) return 0;
  const unsigned char lead = byteAt(s, i);
  if (lead < 0xF0 || lead > 0xF4) return 0;
  std::uint32_t cp = lead & 0x07u;
  for (std::size_t k = 1; k < 4; ++k) {
    if (!isContinuation(byteAt(s, i + k))) return 0;
    cp = (cp << 6) | (byteAt(s, i + k) & 0x3Fu);
  }
  return cp >= 0x10000 && cp <= 0x10FFFF ? cp : 0;
}

void appendThreeByte(std::string &out, std::uint32_t unit) {
  out += static_cast<char>(0xE0 | (unit >> 12));
  out += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
  out += static_cast<char>(0x80 | (unit & 0x3F));
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
      appendThreeByte(out, 0xD800u + (v >> 10));
      appendThreeByte(out, 0xDC00u + (v & 0x3FFu));
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
      const std::uint32_t cp = 0x10000u + ((high - 0xD800u) << 10) + (low - 0xDC00u);
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
      i += 6;
    } else {
      out += modified[i++];
    }
  }
  return out;
}

} // namespace vantrel::hostText
