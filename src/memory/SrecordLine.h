// Allocation-free parsing and formatting of single S-record lines, shared by Srec and files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vantrel::memory {

/// One record taken apart: its type digit, address field and data bytes.
struct SrecordLine {
  char type = 0;               ///< the digit of the type: '0'-'3', '5', '7'-'9'
  int addrLen = 0;             ///< address width in bytes (2, 3 or 4)
  std::uint32_t address = 0;   ///< the address field (load address, start address or count)
  std::size_t dataLen = 0;     ///< bytes after the address field, before the checksum
  std::uint8_t data[255] = {}; ///< those bytes
};

/// Address width in bytes of the record type with this digit; 0 when it is not a type.
constexpr int srecordAddressWidth(char typeDigit) {
  switch (typeDigit) {
  case '0':
  case '1':
  case '5':
  case '9':
    return 2;
  case '2':
  case '8':
    return 3;
  case '3':
  case '7':
    return 4;
  default:
    return 0;
  }
}

/// Takes one line (without its separator) apart: type, count, address, data, checksum.
/// False when the text is not a well-formed record: unknown type, odd length, a non-hex
/// character, a wrong checksum, a count that does not match the length, an address field
/// longer than the record, or a header record with a non-zero address.
bool parseSrecordLine(std::string_view text, SrecordLine &out);
/// The same, with the data bytes decoded straight to data (room for 255 bytes, written
/// even when the line turns out malformed) instead of into out.data.
bool parseSrecordLine(std::string_view text, SrecordLine &out, std::uint8_t *data);

/// Longest line formatRecord writes: type, count, 255 bytes of address, data and checksum.
inline constexpr std::size_t MAX_RECORD_CHARS = 2 + 2 + 2 * 255;

/// Formats a record with upper-case digits into out (at least 4 + 2 x (addrLen + n + 1)
/// characters, no terminator) and returns the number of characters. The address is
/// written modulo 2^(8 x addrLen); addrLen + n + 1 must not exceed 255.
std::size_t formatRecord(char *out, char typeDigit, int addrLen, std::uint32_t address,
                         const std::uint8_t *data, std::size_t n);

} // namespace vantrel::memory
