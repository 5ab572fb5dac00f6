// Hex-record files (".hexout"): lines ":CCAAAATT<data>KK" with a byte count CC, a 16-bit
// address AAAA, a record type TT (00 data, 01 end of file, 02 extended segment address,
// 03 start segment address, 04 extended linear address, 05 start linear address) and a
// checksum KK that makes the bytes of the record add up to 0. Reading takes every type and
// verifies every checksum; writing uses 16-byte data records and extended linear
// address records.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Result.h"
#include "Segments.h"

namespace vantrel::suite {

/// The contents of a hex-record file.
struct HexImage {
  std::vector<Segment> segments;             ///< ascending, non-overlapping, never touching
  std::optional<std::uint32_t> startAddress; ///< from a start record (type 03 as CS * 16 + IP, or 05)
};

/// Parses hex-record text. Lines end at LF, CR LF or CR; empty lines are skipped. Errors read
/// "line N: " followed by a HEX_* message of Messages.h (without a line for HEX_NO_EOF and
/// HEX_OVERLAP).
Result<HexImage> parseHexFile(std::string_view text);

/// The segments as hex-record text with "\n" line ends, ending in the end-of-file record.
std::string writeHexFile(const std::vector<Segment> &segments);

} // namespace vantrel::suite
