// Reader of ZIP archives (jars): the central directory, stored and deflated entries, CRC checks.
#include "ZipArchive.h"

#include "platform/file.h"

#include <zlib.h>

namespace vantrel::runtime {
namespace {

constexpr std::uint32_t END_SIGNATURE = 0x06054b50;
constexpr std::uint32_t CENTRAL_SIGNATURE = 0x02014b50;
constexpr std::uint32_t LOCAL_SIGNATURE = 0x04034b50;
constexpr std::size_t END_SIZE = 22;
constexpr std::size_t CENTRAL_SIZE = 46;
constexpr std::size_t LOCAL_SIZE = 30;
constexpr std::uint16_t METHOD_STORED = 0;
constexpr std::uint16_t METHOD_DEFLATED = 8;
constexpr std::uint16_t FLAG_ENCRYPTED = 1;

// ZIP numbers are little-endian whatever the host.
std::uint16_t le16(const std::vector<std::uint8_t> &b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}
std::uint32_t le32(const std::vector<std::uint8_t> &b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) |
         (static_cast<std::uint32_t>(b[at + 2]) << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

} // namespace

std::unique_ptr<ZipArchive> ZipArchive::open(const std::string &path, std::string &error) {
  // Through the platform layer: any name, of any length, that the OS allows.
  platform::InputFile in;
  if (!in.open(path)) {
    error = "cannot open file";
    return nullptr;
  }
  std::vector<std::uint8_t> bytes;
  std::uint8_t chunk[1 << 16];
  for (std::int64_t got; (got = in.read(chunk, sizeof chunk)) != 0;) {
    if (got < 0) {
      error = "cannot read file";
      return nullptr;
    }
    bytes.insert(bytes.end(), chunk, chunk + got);
  }
  return fromBytes(std::move(bytes), error);
}

std::unique_ptr<ZipArchive> ZipArchive::fromBytes(std::vector<std::uint8_t> bytes, std::string &error) {
  std::unique_ptr<ZipArchive> zip(new ZipArchive());
  zip->bytes_ = std::move(bytes);
  const auto &b = zip->bytes_;
  if (b.size() < END_SIZE) {
    error = "zip END header not found";
    return nullptr;
  }
  // The end record sits in the last 22 bytes plus an archive comment of up to 65535 bytes;
  // search backwards so a comment that happens to contain the signature is skipped.
  std::size_t end = b.size() - END_SIZE;
  std::size_t lowest = b.size() > END_SIZE + 0xFFFF ? b.size() - END_SIZE - 0xFFFF : 0;
  bool found = false;
  for (std::size_t at = end + 1; at-- > lowest;) {
    if (le32(b, at) == END_SIGNATURE && at + END_SIZE + le16(b, at + 20) == b.size()) {
      end = at;
      found = true;
      break;
    }
  }
  if (!found) {
    error = "zip END header not found";
    return nullptr;
  }
  const std::uint16_t count = le16(b, end + 10);
  const std::uint32_t dirSize = le32(b, end + 12);
  const std::uint32_t dirOffset = le32(b, end + 16);
  if (count == 0xFFFF || dirOffset == 0xFFFFFFFF) {
    error = "ZIP64 archives are not supported";
    return nullptr;
  }
  if (static_cast<std::uint64_t>(dirOffset) + dirSize > end) {
    error = "invalid CEN header (bad directory offset)";
    return nullptr;
  }
  std::size_t at = dirOffset;
  for (std::uint16_t i = 0; i < count; ++i) {
    if (at + CENTRAL_SIZE > end || le32(b, at) != CENTRAL_SIGNATURE) {
      error = "invalid CEN header (bad signature)";
      return nullptr;
    }
    Entry e;
    e.flags = le16(b, at + 8);
    e.method = le16(b, at + 10);
    e.crc = le32(b, at + 16);
    e.compressedSize = le32(b, at + 20);
    e.size = le32(b, at + 24);
    const std::size_t nameLength = le16(b, at + 28);
    const std::size_t extraLength = le16(b, at + 30);
    const std::size_t commentLength = le16(b, at + 32);
    e.localOffset = le32(b, at + 42);
    const std::size_t next = at + CENTRAL_SIZE + nameLength + extraLength + commentLength;
    if (next > end) {
      error = "invalid CEN header (bad header size)";
      return nullptr;
    }
    std::string name(reinterpret_cast<const char *>(b.data() + at + CENTRAL_SIZE), nameLength);
    zip->entries_.emplace(std::move(name), e);
    at = next;
  }
  return zip;
}

std::optional<std::vector<std::uint8_t>> ZipArchive::read(const std::string &name, std::string &error) const {
  error.clear();
  auto it = entries_.find(name);
  if (it == entries_.end()) return std::nullopt;
  const Entry &e = it->second;
  const auto &b = bytes_;
  if (e.flags & FLAG_ENCRYPTED) {
    error = "encrypted entry " + name;
    return std::nullopt;
  }
  if (e.size > MAX_ENTRY_SIZE) {
    error = "entry too large: " + name;
    return std::nullopt;
  }
  if (static_cast<std::uint64_t>(e.localOffset) + LOCAL_SIZE > b.size() ||
      le32(b, e.localOffset) != LOCAL_SIGNATURE) {
    error = "invalid LOC header (bad signature) of " + name;
    return std::nullopt;
  }
  // The local header repeats name and extra field with lengths of its own.
  const std::uint64_t data = static_cast<std::uint64_t>(e.localOffset) + LOCAL_SIZE +
                             le16(b, e.localOffset + 26) + le16(b, e.localOffset + 28);
  if (data + e.compressedSize > b.size()) {
    error = "truncated entry " + name;
    return std::nullopt;
  }
  std::vector<std::uint8_t> out(e.size);
  if (e.method == METHOD_STORED) {
    if (e.compressedSize != e.size) {
      error = "invalid stored entry " + name;
      return std::nullopt;
    }
    std::copy(b.begin() + static_cast<std::ptrdiff_t>(data),
              b.begin() + static_cast<std::ptrdiff_t>(data + e.size), out.begin());
  } else if (e.method == METHOD_DEFLATED) {
    z_stream s{};
    if (inflateInit2(&s, -MAX_WBITS) != Z_OK) {
      error = "cannot start inflater";
      return std::nullopt;
    }
    // Raw deflate data (no zlib header); one call inflates the whole entry.
    s.next_in = const_cast<Bytef *>(b.data() + data);
    s.avail_in = e.compressedSize;
    Bytef spare = 0;
    s.next_out = out.empty() ? &spare : out.data();
    s.avail_out = static_cast<uInt>(out.size());
    const int rc = inflate(&s, Z_FINISH);
    const uLong produced = s.total_out;
    inflateEnd(&s);
    if (rc != Z_STREAM_END || produced != e.size) {
      error = "invalid deflated data in " + name;
      return std::nullopt;
    }
  } else {
    error = "unsupported compression method " + std::to_string(e.method) + " of " + name;
    return std::nullopt;
  }
  if (crc32(0L, out.data(), static_cast<uInt>(out.size())) != e.crc) {
    error = "invalid entry CRC of " + name;
    return std::nullopt;
  }
  return out;
}

std::vector<std::string> ZipArchive::names() const {
  std::vector<std::string> result;
  for (const auto &entry : entries_)
    result.push_back(entry.first);
  return result;
}

} // namespace vantrel::runtime
