// CRC-32 (the zlib polynomial) over byte ranges, used by the SOF, image and POF formats.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vantrel::suite {

/// CRC-32 of n bytes at data (initial value 0, the common reflected 0xEDB88320 form).
std::uint32_t crc32Of(const std::uint8_t *data, std::size_t n);

} // namespace vantrel::suite
