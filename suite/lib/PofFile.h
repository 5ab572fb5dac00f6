// The programming object file (.pof): the converter's own container that carries a
// configuration image, where it goes in flash and the option-bit block, from the first
// conversion run to the second.
//
// Layout (multi-byte fields least significant byte first):
//   8-byte signature "BMPOF" 0x1A 0x0D 0x0A
//   records: 4-character tag, 32-bit payload length, payload
//     "PART"  part name of the design
//     "TARG"  target device: a serial configuration device (SPROM128, QPROM256, QPROM128)
//             or the flash device named by a conversion description (e.g. CFI_1GB)
//     "PAGE"  16 bytes: page start address, option-bit start address (0xFFFFFFFF: no
//             option bits), programming-mode code, flags (bit 0 compressed, bit 1 serial
//             configuration device)
//     "IMAG"  the configuration image (ConfigImage.h)
//     "OPTB"  the option-bit block (only with option bits)
//     "END "  4 bytes: CRC-32 of every byte of the file before this record; nothing follows
// Readers skip records with other tags.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Result.h"

namespace vantrel::suite {

/// Option-bit start address that stands for "no option bits".
constexpr std::uint32_t POF_NO_OPTION_BITS = 0xFFFFFFFFu;

/// What a programming object file holds.
struct PofContent {
  std::string partName;
  std::string target;
  std::uint32_t pageStart = 0;
  std::uint32_t optionStart = POF_NO_OPTION_BITS;
  std::uint32_t modeCode = 0;
  bool compressed = false;
  bool serial = false;
  std::vector<std::uint8_t> image;
  std::vector<std::uint8_t> optionBits;
};

/// The file bytes for content.
std::vector<std::uint8_t> writePof(const PofContent &content);

/// Reads a programming object file held in memory.
Result<PofContent> parsePof(std::string_view bytes);

} // namespace vantrel::suite
