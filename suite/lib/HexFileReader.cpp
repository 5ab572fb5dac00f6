// Hex-record reader: record syntax, checksums, segment and linear addressing, start records.
#include <algorithm>
#include <cstdio>

#include "HexFile.h"
#include "Messages.h"

namespace vantrel::suite {

namespace {

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string hexByte(unsigned v) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "0x%02X", v & 0xFFu);
  return buf;
}

/// Collects bytes into segments as they arrive, joining contiguous runs.
class Collector {
public:
  void add(std::uint64_t address, const std::uint8_t *data, std::size_t n) {
    if (n == 0) return;
    if (!segments_.empty()) {
      Segment &last = segments_.back();
      if (last.address + static_cast<std::uint64_t>(last.bytes.size()) == address) {
        last.bytes.insert(last.bytes.end(), data, data + n);
        return;
      }
    }
    segments_.push_back(Segment{static_cast<std::uint32_t>(address), {data, data + n}});
  }
  /// Sorts and merges; false (with the first doubly given address) on an overlap.
  bool finish(std::uint32_t &overlapAt) {
    std::stable_sort(segments_.begin(), segments_.end(),
                     [](const Segment &a, const Segment &b) { return a.address < b.address; });
    std::vector<Segment> merged;
    for (Segment &s : segments_) {
      if (!merged.empty()) {
        Segment &last = merged.back();
        const std::uint64_t lastEnd = last.address + static_cast<std::uint64_t>(last.bytes.size());
        if (s.address < lastEnd) {
          overlapAt = s.address;
          return false;
        }
        if (s.address == lastEnd) {
          last.bytes.insert(last.bytes.end(), s.bytes.begin(), s.bytes.end());
          continue;
        }
      }
      merged.push_back(std::move(s));
    }
    segments_ = std::move(merged);
    return true;
  }
  std::vector<Segment> take() { return std::move(segments_); }

private:
  std::vector<Segment> segments_;
};

} // namespace

Result<HexImage> parseHexFile(std::string_view text) {
  using R = Result<HexImage>;
  HexImage image;
  Collector collector;
  bool linear = true;     // the most recent address record decides the addressing form
  std::uint32_t base = 0; // ULBA << 16 or USBA * 16
  bool seenEnd = false;
  std::size_t lineNo = 0;
  std::size_t pos = 0;
  std::vector<std::uint8_t> rec;
  while (pos < text.size()) {
    std::size_t eol = text.find_first_of("\r\n", pos);
    if (eol == std::string_view::npos) eol = text.size();
    std::string_view line = text.substr(pos, eol - pos);
    // A line ends at LF, CR or CR LF.
    pos = eol + 1;
    if (eol + 1 < text.size() && text[eol] == '\r' && text[eol + 1] == '\n') ++pos;
    ++lineNo;
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t'))
      line.remove_suffix(1);
    if (line.empty()) continue;
    const std::string where = "line " + std::to_string(lineNo) + ": ";
    if (seenEnd) return R::failure(where + msg::HEX_AFTER_EOF);
    if (line[0] != ':') return R::failure(where + msg::HEX_NO_COLON);
    line.remove_prefix(1);
    for (char c : line) {
      if (hexValue(c) < 0) return R::failure(where + msg::HEX_NOT_HEX);
    }
    if (line.size() % 2 != 0) return R::failure(where + msg::HEX_ODD);
    if (line.size() < 10) return R::failure(where + msg::HEX_SHORT);
    rec.clear();
    unsigned sum = 0;
    for (std::size_t i = 0; i < line.size(); i += 2) {
      rec.push_back(static_cast<std::uint8_t>(hexValue(line[i]) * 16 + hexValue(line[i + 1])));
      sum += rec.back();
    }
    const std::size_t count = rec[0];
    if (rec.size() != count + 5) return R::failure(where + msg::HEX_COUNT);
    // The checksum byte makes the sum of every byte of the record 0 modulo 256.
    if ((sum & 0xFFu) != 0) {
      const unsigned stated = rec.back();
      const unsigned expected = (0x100u - ((sum - stated) & 0xFFu)) & 0xFFu;
      return R::failure(where + msg::HEX_CHECKSUM + " (stated " + hexByte(stated) + ", computed " +
                        hexByte(expected) + ")");
    }
    const std::uint32_t offset = static_cast<std::uint32_t>((rec[1] << 8) | rec[2]);
    const unsigned type = rec[3];
    const std::uint8_t *data = rec.data() + 4;
    auto expectCount = [&](std::size_t n) { return count == n; };
    switch (type) {
    case 0x00:
      if (linear) {
        const std::uint64_t at = static_cast<std::uint64_t>(base) + offset;
        if (at + count > 0x100000000ull) return R::failure(where + msg::HEX_PAST_END);
        collector.add(at, data, count);
      } else {
        // Segment addressing: the 16-bit offset wraps inside the 64 KiB segment.
        const std::size_t first = std::min<std::size_t>(count, 0x10000u - offset);
        collector.add(static_cast<std::uint64_t>(base) + offset, data, first);
        collector.add(base, data + first, count - first);
      }
      break;
    case 0x01:
      if (!expectCount(0)) return R::failure(where + msg::HEX_TYPE_LENGTH + hexByte(type));
      seenEnd = true;
      break;
    case 0x02:
      if (!expectCount(2)) return R::failure(where + msg::HEX_TYPE_LENGTH + hexByte(type));
      linear = false;
      base = static_cast<std::uint32_t>(((data[0] << 8) | data[1]) << 4);
      break;
    case 0x03:
      if (!expectCount(4)) return R::failure(where + msg::HEX_TYPE_LENGTH + hexByte(type));
      image.startAddress = (static_cast<std::uint32_t>((data[0] << 8) | data[1]) << 4) +
                           static_cast<std::uint32_t>((data[2] << 8) | data[3]);
      break;
    case 0x04:
      if (!expectCount(2)) return R::failure(where + msg::HEX_TYPE_LENGTH + hexByte(type));
      linear = true;
      base = static_cast<std::uint32_t>((data[0] << 8) | data[1]) << 16;
      break;
    case 0x05:
      if (!expectCount(4)) return R::failure(where + msg::HEX_TYPE_LENGTH + hexByte(type));
      image.startAddress = (static_cast<std::uint32_t>(data[0]) << 24) |
                           (static_cast<std::uint32_t>(data[1]) << 16) |
                           (static_cast<std::uint32_t>(data[2]) << 8) | data[3];
      break;
    default:
      return R::failure(where + msg::HEX_TYPE + hexByte(type));
    }
  }
  if (!seenEnd) return R::failure(msg::HEX_NO_EOF);
  std::uint32_t overlapAt = 0;
  if (!collector.finish(overlapAt)) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08X", static_cast<unsigned>(overlapAt));
    return R::failure(std::string(msg::HEX_OVERLAP) + buf);
  }
  image.segments = collector.take();
  return R::success(std::move(image));
}

} // namespace vantrel::suite
