// zlib deflate and inflate of whole buffers, with the stream fed in pieces that fit uInt.
#include "Compression.h"

#include <zlib.h>

#include <algorithm>
#include <stdexcept>

namespace vantrel::suite {

namespace {
constexpr std::size_t PIECE = 1u << 30;
}

std::vector<std::uint8_t> compressBytes(const std::uint8_t *data, std::size_t n) {
  z_stream zs{};
  if (deflateInit(&zs, Z_BEST_COMPRESSION) != Z_OK) throw std::runtime_error("deflateInit failed");
  std::vector<std::uint8_t> out(64 + n / 2);
  std::size_t inPos = 0;
  std::size_t outPos = 0;
  int rc = Z_OK;
  do {
    if (out.size() - outPos < 1024) out.resize(out.size() * 2);
    const std::size_t inChunk = std::min(PIECE, n - inPos);
    const std::size_t outChunk = std::min(PIECE, out.size() - outPos);
    // zlib wants a non-const input pointer although it never writes through it.
    zs.next_in = const_cast<Bytef *>(data + inPos);
    zs.avail_in = static_cast<uInt>(inChunk);
    zs.next_out = out.data() + outPos;
    zs.avail_out = static_cast<uInt>(outChunk);
    const bool last = inPos + inChunk == n;
    rc = deflate(&zs, last ? Z_FINISH : Z_NO_FLUSH);
    inPos += inChunk - zs.avail_in;
    outPos += outChunk - zs.avail_out;
  } while (rc != Z_STREAM_END && (rc == Z_OK || rc == Z_BUF_ERROR));
  deflateEnd(&zs);
  if (rc != Z_STREAM_END) throw std::runtime_error("deflate failed");
  out.resize(outPos);
  return out;
}

std::optional<std::vector<std::uint8_t>> decompressBytes(const std::uint8_t *data, std::size_t n,
                                                         std::size_t expectedSize) {
  z_stream zs{};
  if (inflateInit(&zs) != Z_OK) return std::nullopt;
  // One spare byte catches a stream that unpacks to more than it should.
  std::vector<std::uint8_t> out(expectedSize + 1);
  std::size_t inPos = 0;
  std::size_t outPos = 0;
  int rc = Z_OK;
  while (true) {
    const std::size_t inChunk = std::min(PIECE, n - inPos);
    const std::size_t outChunk = std::min(PIECE, out.size() - outPos);
    zs.next_in = const_cast<Bytef *>(data + inPos);
    zs.avail_in = static_cast<uInt>(inChunk);
    zs.next_out = out.data() + outPos;
    zs.avail_out = static_cast<uInt>(outChunk);
    rc = inflate(&zs, Z_NO_FLUSH);
    inPos += inChunk - zs.avail_in;
    outPos += outChunk - zs.avail_out;
    if (rc != Z_OK) break;
    if (inChunk - zs.avail_in == 0 && outChunk - zs.avail_out == 0) break; // no progress
  }
  inflateEnd(&zs);
  if (rc != Z_STREAM_END || outPos != expectedSize || inPos != n) return std::nullopt;
  out.resize(outPos);
  return out;
}

} // namespace vantrel::suite
