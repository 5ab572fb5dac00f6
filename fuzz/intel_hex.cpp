// Fuzz target: the stand-in tools' hex-record reader, checked against the record rules
// restated plainly; whatever it accepts is written out and must read back the same.
//
// Input format: the HEX file's text exactly as it would be on disk.
#include "FuzzCheck.h"
#include "HexFile.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using fuzzing::check;
using vantrel::suite::HexImage;
using vantrel::suite::parseHexFile;
using vantrel::suite::Segment;
using vantrel::suite::writeHexFile;

struct Expected {
  std::map<std::uint64_t, std::uint8_t> bytes;
  std::optional<std::uint32_t> start;
};

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

/// The file's bytes and start address; nothing for any defect (bad record, data after the
/// end record, no end record, data past 4 GiB, an address given twice).
std::optional<Expected> reference(std::string_view text) {
  Expected out;
  bool linear = true;
  std::uint64_t base = 0;
  bool ended = false;
  std::size_t b = 0;
  std::vector<std::string_view> lines;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' || text[i] == '\r') {
      lines.push_back(text.substr(b, i - b));
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      b = i + 1;
    }
  }
  if (b < text.size()) lines.push_back(text.substr(b));
  auto put = [&](std::uint64_t address, std::uint8_t value) {
    return out.bytes.emplace(address, value).second;
  };
  for (std::string_view line : lines) {
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t'))
      line.remove_suffix(1);
    if (line.empty()) continue;
    if (ended || line[0] != ':') return std::nullopt;
    line.remove_prefix(1);
    if (line.size() % 2 != 0 || line.size() < 10) return std::nullopt;
    std::vector<std::uint8_t> rec;
    for (std::size_t i = 0; i < line.size(); i += 2) {
      const int hi = hexValue(line[i]), lo = hexValue(line[i + 1]);
      if (hi < 0 || lo < 0) return std::nullopt;
      rec.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
    }
    const std::size_t count = rec[0];
    if (rec.size() != count + 5) return std::nullopt;
    unsigned sum = 0;
    for (std::uint8_t v : rec)
      sum += v;
    if (sum % 256 != 0) return std::nullopt;
    const unsigned offset = static_cast<unsigned>(rec[1] << 8 | rec[2]);
    const std::uint8_t *d = rec.data() + 4;
    switch (rec[3]) {
    case 0:
      for (std::size_t i = 0; i < count; ++i) {
        const std::uint64_t at = linear ? base + offset + i : base + ((offset + i) & 0xFFFFu);
        if (at >= 0x100000000ull) return std::nullopt;
        if (!put(at, d[i])) return std::nullopt;
      }
      break;
    case 1:
      if (count != 0) return std::nullopt;
      ended = true;
      break;
    case 2:
      if (count != 2) return std::nullopt;
      linear = false;
      base = static_cast<std::uint64_t>(d[0] << 8 | d[1]) << 4;
      break;
    case 3:
      if (count != 4) return std::nullopt;
      out.start =
          (static_cast<std::uint32_t>(d[0] << 8 | d[1]) << 4) + static_cast<std::uint32_t>(d[2] << 8 | d[3]);
      break;
    case 4:
      if (count != 2) return std::nullopt;
      linear = true;
      base = static_cast<std::uint64_t>(d[0] << 8 | d[1]) << 16;
      break;
    case 5:
      if (count != 4) return std::nullopt;
      out.start = static_cast<std::uint32_t>(d[0]) << 24 | static_cast<std::uint32_t>(d[1]) << 16 |
                  static_cast<std::uint32_t>(d[2]) << 8 | d[3];
      break;
    default:
      return std::nullopt;
    }
  }
  if (!ended) return std::nullopt;
  return out;
}

/// The segments' bytes by address, after checking their documented shape: ascending,
/// non-empty, never overlapping or touching, within 32 bits.
std::map<std::uint64_t, std::uint8_t> flatten(const std::vector<Segment> &segments) {
  std::map<std::uint64_t, std::uint8_t> bytes;
  std::uint64_t previousEnd = 0;
  bool first = true;
  for (const Segment &s : segments) {
    check(!s.bytes.empty(), "empty segment");
    const std::uint64_t end = static_cast<std::uint64_t>(s.address) + s.bytes.size();
    check(end <= 0x100000000ull, "segment past 4 GiB");
    check(first || s.address > previousEnd, "segments out of order, overlapping or touching");
    for (std::size_t i = 0; i < s.bytes.size(); ++i)
      bytes[s.address + i] = s.bytes[i];
    previousEnd = end;
    first = false;
  }
  return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char *>(data), size);
  const auto want = reference(text);
  const auto got = parseHexFile(text);
  check(got.ok() == want.has_value(), "accepted exactly the well-formed files");
  if (!got.ok()) {
    check(!got.error().empty(), "a refusal has a message");
    return 0;
  }
  const HexImage &image = got.value();
  check(flatten(image.segments) == want->bytes, "bytes");
  check(image.startAddress == want->start, "start address");

  // Written out, the segments read back unchanged.
  const auto again = parseHexFile(writeHexFile(image.segments));
  check(again.ok(), "written HEX reads back");
  check(flatten(again.value().segments) == want->bytes, "bytes read back");
  check(again.value().segments.size() == image.segments.size(), "segments read back");
  check(!again.value().startAddress, "no start address written");
  return 0;
}
