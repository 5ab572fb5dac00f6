// CRC-32 through zlib, fed in pieces because zlib's length parameter is 32 bits wide.
#include "Checksum.h"

#include <zlib.h>

namespace vantrel::suite {

std::uint32_t crc32Of(const std::uint8_t *data, std::size_t n) {
  uLong crc = crc32(0L, Z_NULL, 0);
  while (n > 0) {
    const uInt chunk = n > 0x40000000u ? 0x40000000u : static_cast<uInt>(n);
    crc = crc32(crc, data, chunk);
    data += chunk;
    n -= chunk;
  }
  return static_cast<std::uint32_t>(crc);
}

} // namespace vantrel::suite
