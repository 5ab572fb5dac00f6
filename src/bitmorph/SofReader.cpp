// SOF walking: signature, byte-order word, record headers, the type-2 part-name record.
#include "bitmorph/SofReader.h"

#include "platform/file.h"

#include <algorithm>
#include <array>
#include <vector>

namespace vantrel::bitmorph {

namespace {

/// Sequential byte source; read() returns the count read (0 at the end) or -1 on an error.
class ByteSource {
public:
  virtual ~ByteSource() = default;
  virtual std::int64_t read(std::uint8_t *buffer, std::size_t n) = 0;
  /// Bytes left, when known; a skip or a record longer than that cannot be satisfied.
  virtual std::optional<std::uint64_t> remaining() const = 0;
};

class MemorySource : public ByteSource {
public:
  MemorySource(const std::uint8_t *data, std::size_t size) : data_(data), size_(size) {}
  std::int64_t read(std::uint8_t *buffer, std::size_t n) override {
    const std::size_t count = std::min(n, size_ - pos_);
    if (count > 0) std::copy(data_ + pos_, data_ + pos_ + count, buffer);
    pos_ += count;
    return static_cast<std::int64_t>(count);
  }
  std::optional<std::uint64_t> remaining() const override { return size_ - pos_; }

private:
  const std::uint8_t *data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

class FileSource : public ByteSource {
public:
  explicit FileSource(platform::InputFile &file) : file_(file) {
    const std::int64_t size = file.size();
    if (size >= 0) size_ = static_cast<std::uint64_t>(size);
  }
  std::int64_t read(std::uint8_t *buffer, std::size_t n) override {
    const std::int64_t count = file_.read(buffer, n);
    if (count > 0) pos_ += static_cast<std::uint64_t>(count);
    return count;
  }
  std::optional<std::uint64_t> remaining() const override {
    if (!size_ || pos_ > *size_) return std::nullopt;
    return *size_ - pos_;
  }

private:
  platform::InputFile &file_;
  std::optional<std::uint64_t> size_;
  std::uint64_t pos_ = 0;
};

/// Outcome of one read step: the value, or why there is none.
enum class Step { Ok, End, Error };

/// Fills buffer with exactly n bytes; End when the source ends first.
Step readExactly(ByteSource &source, std::uint8_t *buffer, std::size_t n) {
  std::size_t got = 0;
  while (got < n) {
    const std::int64_t count = source.read(buffer + got, n - got);
    if (count < 0) return Step::Error;
    if (count == 0) return Step::End;
    got += static_cast<std::size_t>(count);
  }
  return Step::Ok;
}

/// Skips n bytes; End when the skip reaches or passes the end of the source (no record
/// header can follow then). Reading, not seeking, keeps this correct on any source.
Step skipBytes(ByteSource &source, std::uint64_t n) {
  if (const auto left = source.remaining(); left && n >= *left) {
    // To or past the end: no record header can follow, so don't read through the rest.
    return Step::End;
  }
  std::array<std::uint8_t, 64 * 1024> scratch{};
  while (n > 0) {
    const std::size_t chunk = static_cast<std::size_t>(std::min<std::uint64_t>(n, scratch.size()));
    const std::int64_t count = source.read(scratch.data(), chunk);
    if (count < 0) return Step::Error;
    if (count == 0) return Step::End;
    n -= static_cast<std::uint64_t>(count);
  }
  return Step::Ok;
}

/// ASCII decoding with the trim of characters at or below the blank (NUL included); bytes
/// outside ASCII cannot match any prefix and are shown as '?'.
std::string decodeTrimmed(const std::uint8_t *bytes, std::size_t n) {
  std::size_t first = 0;
  std::size_t last = n;
  while (first < last && bytes[first] <= 0x20)
    ++first;
  while (last > first && bytes[last - 1] <= 0x20)
    --last;
  std::string text;
  text.reserve(last - first);
  for (std::size_t i = first; i < last; ++i) {
    text.push_back(bytes[i] < 0x80 ? static_cast<char>(bytes[i]) : '?');
  }
  return text;
}

/// The SOF's fields after the byte-order word are little-endian when that word is 0.
struct FieldReader {
  ByteSource &source;
  bool littleEndian = false;

  Step readShort(std::uint16_t &value) {
    std::array<std::uint8_t, 2> b{};
    const Step step = readExactly(source, b.data(), b.size());
    if (step != Step::Ok) return step;
    value = littleEndian ? static_cast<std::uint16_t>(b[0] | (b[1] << 8))
                         : static_cast<std::uint16_t>((b[0] << 8) | b[1]);
    return Step::Ok;
  }

  Step readInt(std::int32_t &value) {
    std::array<std::uint8_t, 4> b{};
    const Step step = readExactly(source, b.data(), b.size());
    if (step != Step::Ok) return step;
    const std::uint32_t raw = littleEndian ? (std::uint32_t{b[0]} | (std::uint32_t{b[1]} << 8) |
                                              (std::uint32_t{b[2]} << 16) | (std::uint32_t{b[3]} << 24))
                                           : ((std::uint32_t{b[0]} << 24) | (std::uint32_t{b[1]} << 16) |
                                              (std::uint32_t{b[2]} << 8) | std::uint32_t{b[3]});
    value = static_cast<std::int32_t>(raw);
    return Step::Ok;
  }
};

/// The trimmed part name of the SOF, or nothing when the source is not a complete SOF.
std::optional<std::string> readPartName(ByteSource &source) {
  std::array<std::uint8_t, 4> signature{};
  if (readExactly(source, signature.data(), signature.size()) != Step::Ok) return std::nullopt;
  if (decodeTrimmed(signature.data(), signature.size()) != "SOF") return std::nullopt;

  FieldReader fields{source};
  std::uint16_t byteOrder = 0;
  if (fields.readShort(byteOrder) != Step::Ok) return std::nullopt;
  fields.littleEndian = (byteOrder == 0);

  std::uint16_t ignoredShort = 0;
  std::int32_t ignoredInt = 0;
  if (fields.readShort(ignoredShort) != Step::Ok) return std::nullopt;
  if (fields.readInt(ignoredInt) != Step::Ok) return std::nullopt;

  for (;;) {
    std::uint16_t type = 0;
    std::int32_t length = 0;
    if (fields.readShort(type) != Step::Ok) return std::nullopt;
    if (fields.readInt(length) != Step::Ok) return std::nullopt;
    if (type == 2) {
      // A length of 2^31 or more reads as negative: no valid SOF holds such a part name.
      if (length < 0) return std::nullopt;
      const auto wanted = static_cast<std::uint64_t>(length);
      if (const auto left = source.remaining(); left && wanted > *left) return std::nullopt;
      // Grow the buffer only as bytes really arrive, so a length claim costs nothing.
      std::vector<std::uint8_t> name;
      std::array<std::uint8_t, 4096> chunk{};
      while (name.size() < wanted) {
        const std::size_t n =
            static_cast<std::size_t>(std::min<std::uint64_t>(chunk.size(), wanted - name.size()));
        if (readExactly(source, chunk.data(), n) != Step::Ok) return std::nullopt;
        name.insert(name.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(n));
      }
      return decodeTrimmed(name.data(), name.size());
    }
    // A negative length skips nothing; a skip that reaches the end leaves no header to read.
    if (length > 0 && skipBytes(source, static_cast<std::uint64_t>(length)) != Step::Ok) {
      return std::nullopt;
    }
  }
}

SofDetection detect(ByteSource &source) {
  SofDetection result;
  auto name = readPartName(source);
  if (!name) return result;
  result.family = &matchDeviceFamily(*name);
  result.partName = std::move(*name);
  return result;
}

void eraseAll(std::string &text, std::string_view what) {
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at)) {
    text.erase(at, what.size());
  }
}

} // namespace

SofDetection detectSofFamily(const std::uint8_t *data, std::size_t size) {
  MemorySource source(data, data ? size : 0);
  SofDetection result = detect(source);
  result.opened = true;
  return result;
}

SofDetection detectSofFamilyInFile(const std::string &path) {
  platform::InputFile file;
  if (!file.open(path)) return {};
  FileSource source(file);
  SofDetection result = detect(source);
  result.opened = true;
  file.close();
  return result;
}

std::string cleanSofPath(const std::string &path) {
  std::string cleaned = path;
  eraseAll(cleaned, "\\\"");
  eraseAll(cleaned, "\\'");
  eraseAll(cleaned, "\"");
  eraseAll(cleaned, "'");
  return cleaned;
}

} // namespace vantrel::bitmorph
