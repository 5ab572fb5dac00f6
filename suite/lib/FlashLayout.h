// Where images go: serial configuration devices, their capacities, and the option-bit
// block that a flash loader reads to find the design.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace vantrel::suite {

/// Capacity in bytes of the serial configuration device named by --device ("SPROM128" and
/// "QPROM128": 128 Mbit; "QPROM256": 256 Mbit); nothing for other names.
std::optional<std::uint64_t> serialDeviceCapacity(std::string_view device);

/// Serial images are padded with 0xFF to a multiple of this sector size in .rpd files.
constexpr std::size_t SERIAL_SECTOR = 0x10000;

/// Size of the option-bit block.
constexpr std::size_t OPTION_BITS_SIZE = 32;

/// The option-bit block (least significant byte first): bytes 0-3 page start address,
/// 4-7 page last address (inclusive), 8-11 CRC-32 of the page's image, 12 programming-mode
/// code, 13 flags (bit 0: compressed image), 14-31 0xFF.
std::vector<std::uint8_t> buildOptionBits(std::uint32_t pageStart, std::uint32_t pageLast,
                                          std::uint32_t imageCrc, std::uint32_t modeCode, bool compressed);

} // namespace vantrel::suite
