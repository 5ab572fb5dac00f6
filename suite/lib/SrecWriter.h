// Motorola S-record text: an S0 header, S3 data records, an S7 start record.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Segments.h"

namespace vantrel::suite {

/// Data bytes per S3 record.
constexpr std::size_t SREC_RECORD_BYTES = 16;

/// The segments as S-record text with "\n" line ends: an S0 record holding header (ASCII,
/// cut to 64 characters), S3 records with 4-byte addresses, then an S7 record holding
/// startAddress. Hexadecimal digits are upper case.
std::string writeSrecords(const std::vector<Segment> &segments, const std::string &header,
                          std::uint32_t startAddress);

} // namespace vantrel::suite
