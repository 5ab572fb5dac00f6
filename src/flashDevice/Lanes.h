// Sixteen characters or bytes at a time in vector arithmetic: SSE2 on x86-64, plain words
// elsewhere. Lanes are in memory order; both hosts are little-endian.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vantrel::flashDevice::lanes {

static_assert(std::endian::native == std::endian::little, "lane arithmetic assumes little-endian words");

using Lanes = std::uint8_t __attribute__((vector_size(16)));

inline Lanes load(const void *p) {
  Lanes v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

/// True when every lane of the comparison mask m is set.
inline bool allSet(Lanes m) {
  std::uint64_t w[2];
  std::memcpy(w, &m, sizeof w);
  return (w[0] & w[1]) == ~std::uint64_t{0};
}

/// The first lane set in the comparison mask m, or 16 when none is.
inline std::size_t firstSet(Lanes m) {
  std::uint64_t w[2];
  std::memcpy(w, &m, sizeof w);
  if (w[0] != 0) return static_cast<std::size_t>(std::countr_zero(w[0])) / 8;
  if (w[1] != 0) return 8 + static_cast<std::size_t>(std::countr_zero(w[1])) / 8;
  return 16;
}

/// Where the first CR or LF lies in text[0, n), or n when there is none.
inline std::size_t firstLineEnd(const char *text, std::size_t n) {
  std::size_t i = 0;
  for (; i + 16 <= n; i += 16) {
    const Lanes v = load(text + i);
    const auto hit = reinterpret_cast<Lanes>(v == '\n') | reinterpret_cast<Lanes>(v == '\r');
    const std::size_t at = firstSet(hit);
    if (at < 16) return i + at;
  }
  for (; i < n; ++i)
    if (text[i] == '\n' || text[i] == '\r') return i;
  return n;
}

} // namespace vantrel::flashDevice::lanes
