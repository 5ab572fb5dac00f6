// S-record writer.
#include "SrecWriter.h"

#include <algorithm>
#include <cstdio>

namespace vantrel::suite {

namespace {
constexpr std::size_t MAX_HEADER = 64;

/// One record: type, count (address + data + checksum bytes), address, data, checksum =
/// ones' complement of the low byte of the sum of count, address and data bytes.
void appendRecord(std::string &out, const char *type, std::uint32_t address, int addressBytes,
                  const std::uint8_t *data, std::size_t n) {
  char buf[16];
  const unsigned count = static_cast<unsigned>(addressBytes + n + 1);
  unsigned sum = count;
  out += type;
  std::snprintf(buf, sizeof buf, "%02X", count);
  out += buf;
  for (int i = addressBytes - 1; i >= 0; --i) {
    const unsigned b = (address >> (8 * i)) & 0xFFu;
    std::snprintf(buf, sizeof buf, "%02X", b);
    out += buf;
    sum += b;
  }
  for (std::size_t i = 0; i < n; ++i) {
    std::snprintf(buf, sizeof buf, "%02X", data[i]);
    out += buf;
    sum += data[i];
  }
  std::snprintf(buf, sizeof buf, "%02X\n", ~sum & 0xFFu);
  out += buf;
}
} // namespace

std::string writeSrecords(const std::vector<Segment> &segments, const std::string &header,
                          std::uint32_t startAddress) {
  std::string out;
  std::string text = header.substr(0, MAX_HEADER);
  for (char &c : text) {
    if (static_cast<unsigned char>(c) > 0x7E || static_cast<unsigned char>(c) < 0x20) c = '?';
  }
  appendRecord(out, "S0", 0, 2, reinterpret_cast<const std::uint8_t *>(text.data()), text.size());
  for (const Segment &s : segments) {
    for (std::size_t i = 0; i < s.bytes.size(); i += SREC_RECORD_BYTES) {
      const std::size_t n = std::min(SREC_RECORD_BYTES, s.bytes.size() - i);
      appendRecord(out, "S3", s.address + static_cast<std::uint32_t>(i), 4, s.bytes.data() + i, n);
    }
  }
  appendRecord(out, "S7", startAddress, 4, nullptr, 0);
  return out;
}

} // namespace vantrel::suite
