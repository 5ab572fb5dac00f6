// Conversion of the JNI's modified UTF-8 into standard UTF-8 for the driver's arguments.
#include "ModifiedUtf8.h"

#include <cstdint>

namespace vantrel::bitmorph::jni {
namespace {

// A three-byte sequence ED xx yy encoding a surrogate in [lo, hi]; its value, or 0.
std::uint32_t surrogateAt(const std::string &s, std::size_t i, std::uint32_t lo, std::uint32_t hi) {
  if (i + 3 > s.size()) return 0;
  const auto b0 = static_cast<unsigned char>(s[i]);
  const auto b1 = static_cast<unsigned char>(s[i + 1]);
  const auto b2 = static_cast<unsigned char>(s[i + 2]);
  if (b0 != 0xED || (b1 & 0xC0) != 0x80 || (b2 & 0xC0) != 0x80) return 0;
  const std::uint32_t unit = 0xD000u | ((b1 & 0x3Fu) << 6) | (b2 & 0x3Fu);
  return unit >= lo && unit <= hi ? unit : 0;
}

} // namespace

std::string toStandardUtf8(const std::string &modified) {
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

} // namespace vantrel::bitmorph::jni
