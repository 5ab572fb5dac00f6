// Hex-record writer: 16-byte data records that never cross a 64 KiB boundary, each new upper
// address half announced by an extended linear address record.
#include <cstdio>

#include "HexFile.h"

namespace vantrel::suite {

namespace {
constexpr std::size_t RECORD_BYTES = 16;

void appendRecord(std::string &out, unsigned type, unsigned offset, const std::uint8_t *data, std::size_t n) {
  char buf[16];
  unsigned sum = static_cast<unsigned>(n) + (offset >> 8) + (offset & 0xFFu) + type;
  std::snprintf(buf, sizeof buf, ":%02X%04X%02X", static_cast<unsigned>(n), offset & 0xFFFFu, type);
  out += buf;
  for (std::size_t i = 0; i < n; ++i) {
    std::snprintf(buf, sizeof buf, "%02X", data[i]);
    out += buf;
    sum += data[i];
  }
  // Two's complement of the byte sum, so that all bytes of the record add up to 0.
  std::snprintf(buf, sizeof buf, "%02X\n", (0x100u - (sum & 0xFFu)) & 0xFFu);
  out += buf;
}
} // namespace

std::string writeHexFile(const std::vector<Segment> &segments) {
  std::string out;
  bool haveUpper = false;
  std::uint32_t upper = 0;
  for (const Segment &s : segments) {
    std::size_t i = 0;
    while (i < s.bytes.size()) {
      const std::uint32_t address = s.address + static_cast<std::uint32_t>(i);
      if (!haveUpper || (address >> 16) != upper) {
        upper = address >> 16;
        haveUpper = true;
        const std::uint8_t ula[2] = {static_cast<std::uint8_t>(upper >> 8), static_cast<std::uint8_t>(upper)};
        appendRecord(out, 0x04, 0, ula, 2);
      }
      std::size_t n = RECORD_BYTES;
      if (n > s.bytes.size() - i) n = s.bytes.size() - i;
      const std::size_t toBoundary = 0x10000u - (address & 0xFFFFu);
      if (n > toBoundary) n = toBoundary;
      appendRecord(out, 0x00, address & 0xFFFFu, s.bytes.data() + i, n);
      i += n;
    }
  }
  appendRecord(out, 0x01, 0, nullptr, 0);
  return out;
}

} // namespace vantrel::suite
