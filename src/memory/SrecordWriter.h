// Writer of an image as an S-record file: header record, then 32-byte S3 records.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vantrel::memory {

class SegmentedMemory;

/// Highest address a 4-byte (S3) record address can hold.
inline constexpr std::int64_t MAX_RECORD_ADDRESS = 0xFFFFFFFFLL;

/// Writes image as S-records to path: an S0 record carrying header when there is one,
/// then each segment, in address order, as S3 records of recordLength data bytes (the
/// last one of a segment shorter), each line ended by the platform's line separator.
/// The file is written under a temporary name and renamed into place only when complete.
/// False (and no file) when it cannot be created, written, closed or put in place, or when
/// data lies above 0xFFFFFFFF, which a record address cannot hold; then failure (when
/// given) receives the OS's reason, or stays empty when the OS reported none. Large images
/// are formatted on worker threads while earlier text is being written.
bool writeSrecordFile(const SegmentedMemory &image, const std::optional<std::string> &header,
                      const std::string &path, std::size_t recordLength, std::string *failure = nullptr);

} // namespace vantrel::memory
