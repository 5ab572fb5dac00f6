// The SOF layout the converter reads and sofgen writes: signature, byte-order word, records.
//
// File layout (every field after the byte-order word in the file's byte order):
//   bytes 0-3  "SOF" and one NUL
//   bytes 4-5  byte-order word, always most significant byte first: 0x0001 = big-endian
//              file, 0x0000 = little-endian file
//   bytes 6-7  format version (1)
//   bytes 8-11 number of records that follow
//   records    16-bit type, 32-bit length (values of 2^31 and more are invalid), then
//              `length` bytes of payload
// Record types:
//   1  creator: free text naming the program that wrote the file (optional)
//   2  part name: the device part name, ASCII (the first type-2 record counts)
//   17 configuration data: a 32-bit CRC-32 of the data (file byte order), then the
//      configuration data bytes themselves, exactly as the device takes them
// Readers skip records of any other type by their length.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Result.h"

namespace vantrel::suite {

/// Record type of the creator text.
constexpr std::uint16_t SOF_RECORD_CREATOR = 1;
/// Record type of the part name.
constexpr std::uint16_t SOF_RECORD_PART_NAME = 2;
/// Record type of the configuration data.
constexpr std::uint16_t SOF_RECORD_CONFIG_DATA = 17;

/// What a SOF holds for the converter.
struct SofDesign {
  std::string partName;                 ///< device part name
  std::vector<std::uint8_t> configData; ///< configuration data
  bool bigEndian = true;                ///< byte order of the file's fields
  std::string creator;                  ///< creator text; empty: no creator record
};

/// What a SOF held in memory holds for the converter, its configuration data left where it
/// lies: a view into the bytes given to parseSofView, valid while they are.
struct SofView {
  std::string partName;        ///< device part name
  std::string_view configData; ///< configuration data, in the file's bytes
  std::uint32_t configCrc = 0; ///< their CRC-32, as the file states and as checked
  bool bigEndian = true;       ///< byte order of the file's fields
  std::string creator;         ///< creator text; empty: no creator record
};

/// The complete SOF file for design.
std::vector<std::uint8_t> writeSof(const SofDesign &design);

/// Reads a SOF held in memory; the error texts are the SOF_* messages of Messages.h.
Result<SofDesign> parseSof(std::string_view bytes);

/// The same, without copying the configuration data out of bytes.
Result<SofView> parseSofView(std::string_view bytes);

/// The design a view shows, its configuration data copied out.
SofDesign designOf(const SofView &view);

} // namespace vantrel::suite
