// The compression scheme of configuration images: a zlib (deflate) stream of the data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace vantrel::suite {

/// The data as a zlib stream at the highest compression level.
std::vector<std::uint8_t> compressBytes(const std::uint8_t *data, std::size_t n);
inline std::vector<std::uint8_t> compressBytes(const std::vector<std::uint8_t> &data) {
  return compressBytes(data.data(), data.size());
}

/// The bytes of the zlib stream at data[0..n), which must unpack to exactly expectedSize
/// bytes and end there; nothing when the stream is damaged, shorter or longer.
std::optional<std::vector<std::uint8_t>> decompressBytes(const std::uint8_t *data, std::size_t n,
                                                         std::size_t expectedSize);

} // namespace vantrel::suite
