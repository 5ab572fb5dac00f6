// Little- and big-endian loads and stores of 16- and 32-bit values in byte vectors.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vantrel::suite {

/// Appends v as two bytes, least significant first.
inline void appendLe16(std::vector<std::uint8_t> &out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

/// Appends v as four bytes, least significant first.
inline void appendLe32(std::vector<std::uint8_t> &out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i)
    out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

/// Appends v as two bytes, most significant first.
inline void appendBe16(std::vector<std::uint8_t> &out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v >> 8));
  out.push_back(static_cast<std::uint8_t>(v));
}

/// Appends v as four bytes, most significant first.
inline void appendBe32(std::vector<std::uint8_t> &out, std::uint32_t v) {
  for (int i = 3; i >= 0; --i)
    out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

/// Stores v at p[0..3], least significant first.
inline void storeLe32(std::uint8_t *p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i)
    p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

/// Reads four bytes at p, least significant first.
inline std::uint32_t loadLe32(const std::uint8_t *p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

/// Reads two bytes at p, most significant first.
inline std::uint16_t loadBe16(const std::uint8_t *p) {
  return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}

/// Reads four bytes at p, most significant first.
inline std::uint32_t loadBe32(const std::uint8_t *p) {
  return (static_cast<std::uint32_t>(p[0]) << 24) | (static_cast<std::uint32_t>(p[1]) << 16) |
         (static_cast<std::uint32_t>(p[2]) << 8) | static_cast<std::uint32_t>(p[3]);
}

/// Reads two bytes at p, least significant first.
inline std::uint16_t loadLe16(const std::uint8_t *p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

} // namespace vantrel::suite
