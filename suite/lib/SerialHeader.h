// The bitstream header fields that state a configuration image's family code and length.
//
// Bit n of a byte counts from the least significant bit. The family code F sits in bit 1
// of bytes 52..59 (bit i of F in byte 52 + i). The length is the image's size in bits, N:
//  - scattered layout: bits 31..25 of N in bit 3 of bytes 39..33 (bit 25 + i in byte
//    33 + i), bits 24..0 in bit 2 of bytes 72..48 (bit j in byte 48 + j);
//  - after-sync layout: N as 32 bits, least significant byte first, at bytes p+5..p+8,
//    where p is the position of the 0x6A sync byte that ends the 0xFF preamble.
// A reader finds the layout from F: the scattered layout belongs to codes 0-20, 32-35, 66,
// 145-150 and 225-228; codes 241-247 name a second scattered form that this converter
// never writes; every other code uses the after-sync layout.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "DeviceFamily.h"

namespace vantrel::suite {

/// Smallest header that holds every field (the scattered layout reaches byte 72).
constexpr std::size_t SERIAL_HEADER_MIN = 73;

/// Writes F into bit 1 of header[52..59], leaving the other bits alone.
void writeFamilyCode(std::uint8_t *header, std::uint8_t familyCode);

/// Writes N in the layout into header (which holds at least syncPos + 9 and
/// SERIAL_HEADER_MIN bytes), leaving the bits the layout does not use alone.
void writeBitCount(std::uint8_t *header, LengthLayout layout, std::size_t syncPos, std::uint32_t bitCount);

/// The family code read from header[52..59].
std::uint8_t readFamilyCode(const std::uint8_t *header);

/// The layout that a reader picks for family code F.
LengthLayout layoutForCode(std::uint8_t familyCode);

/// N read back from header[0..n) by the layout that F selects; nothing when n is too short.
std::optional<std::uint32_t> readBitCount(const std::uint8_t *header, std::size_t n, std::size_t syncPos);

} // namespace vantrel::suite
