// Number text reading and fixed-width hexadecimal formatting.
#include <cstdio>
#include <string>

#include "NumberText.h"

namespace vantrel::suite {

std::optional<std::uint32_t> parseNumberText(std::string_view t) {
  if (!t.empty() && t[0] == '+') t.remove_prefix(1);
  unsigned base = 10;
  if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
    base = 16;
    t.remove_prefix(2);
  } else if (t.size() > 1 && t[0] == '#') {
    base = 16;
    t.remove_prefix(1);
  } else if (t.size() > 1 && t[0] == '0') {
    base = 8;
    t.remove_prefix(1);
  }
  if (t.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (char c : t) {
    unsigned d;
    if (c >= '0' && c <= '9')
      d = static_cast<unsigned>(c - '0');
    else if (c >= 'a' && c <= 'f')
      d = static_cast<unsigned>(c - 'a' + 10);
    else if (c >= 'A' && c <= 'F')
      d = static_cast<unsigned>(c - 'A' + 10);
    else
      return std::nullopt;
    if (d >= base) return std::nullopt;
    value = value * base + d;
    if (value > 0xFFFFFFFFull) return std::nullopt;
  }
  return static_cast<std::uint32_t>(value);
}

std::string hex8(std::uint32_t value) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%08X", static_cast<unsigned>(value));
  return buf;
}

} // namespace vantrel::suite
