// SOF walking: signature, byte-order word, record headers, the type-2 part-name record.
#include "bitmorph/SofReader.h"

#include "bitmorph/CauseMessages.h"
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
  /// Bytes read or skipped so far: the offset of the next byte.
  virtual std::uint64_t position() const = 0;
  /// Why the last read failed, in the system's words ("" when it cannot tell).
  virtual std::string readFailure() const { return ""; }
  /// Where the source ends, when known; else how far it was read.
  std::uint64_t end() const { return position() + remaining().value_or(0); }
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
  std::uint64_t position() const override { return pos_; }

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
  std::uint64_t position() const override { return pos_; }
  std::string readFailure() const override { return file_.failure(); }

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

/// The trimmed part name of a SOF, or why the source holds none.
struct PartNameRead {
  std::optional<std::string> name;
  std::string problem; ///< words that follow the file's name
};

/// Why a read step gave no value: the source ended (where), or a read failed.
PartNameRead failedAt(const ByteSource &source, Step step, const char *where) {
  if (step == Step::Error) {
    return {std::nullopt, messages::SOF_READ_FAILED + std::to_string(source.position()) +
                              messages::SOF_READ_FAILED_REASON + source.readFailure()};
  }
  return {std::nullopt,
          messages::SOF_NOT_A_SOF + (messages::SOF_ENDS_AT + std::to_string(source.end())) + where};
}

PartNameRead readPartName(ByteSource &source) {
  std::array<std::uint8_t, 4> signature{};
  if (const Step step = readExactly(source, signature.data(), signature.size()); step != Step::Ok) {
    return failedAt(source, step, messages::SOF_IN_HEADER);
  }
  if (decodeTrimmed(signature.data(), signature.size()) != "SOF") {
    return {std::nullopt, std::string(messages::SOF_NOT_A_SOF) + messages::SOF_BAD_SIGNATURE};
  }

  FieldReader fields{source};
  std::uint16_t byteOrder = 0;
  std::uint16_t ignoredShort = 0;
  std::int32_t ignoredInt = 0;
  Step step = fields.readShort(byteOrder);
  fields.littleEndian = (byteOrder == 0);
  if (step == Step::Ok) step = fields.readShort(ignoredShort);
  if (step == Step::Ok) step = fields.readInt(ignoredInt);
  if (step != Step::Ok) return failedAt(source, step, messages::SOF_IN_HEADER);

  for (;;) {
    const std::uint64_t recordAt = source.position();
    std::uint16_t type = 0;
    std::int32_t length = 0;
    step = fields.readShort(type);
    if (step == Step::Ok) step = fields.readInt(length);
    if (step != Step::Ok) return failedAt(source, step, messages::SOF_NO_PART_NAME);
    if (type == 2) {
      const std::string claim = messages::SOF_NOT_A_SOF +
                                (messages::SOF_NAME_RECORD_AT + std::to_string(recordAt)) +
                                messages::SOF_NAME_CLAIMS + std::to_string(length) + messages::SOF_NAME_BYTES;
      // A length of 2^31 or more reads as negative: no valid SOF holds such a part name.
      if (length < 0) return {std::nullopt, claim};
      const auto wanted = static_cast<std::uint64_t>(length);
      const std::string pastEnd = claim + messages::SOF_NAME_PAST_END;
      if (const auto left = source.remaining(); left && wanted > *left) {
        return {std::nullopt, pastEnd + std::to_string(source.end())};
      }
      // Grow the buffer only as bytes really arrive, so a length claim costs nothing.
      std::vector<std::uint8_t> name;
      std::array<std::uint8_t, 4096> chunk{};
      while (name.size() < wanted) {
        const std::size_t n =
            static_cast<std::size_t>(std::min<std::uint64_t>(chunk.size(), wanted - name.size()));
        step = readExactly(source, chunk.data(), n);
        if (step == Step::End) return {std::nullopt, pastEnd + std::to_string(source.end())};
        if (step != Step::Ok) return failedAt(source, step, "");
        name.insert(name.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(n));
      }
      return {decodeTrimmed(name.data(), name.size()), ""};
    }
    // A negative length skips nothing; a skip that reaches the end leaves no header to read.
    if (length > 0) {
      step = skipBytes(source, static_cast<std::uint64_t>(length));
      if (step != Step::Ok) return failedAt(source, step, messages::SOF_NO_PART_NAME);
    }
  }
}

SofDetection detect(ByteSource &source) {
  SofDetection result;
  PartNameRead read = readPartName(source);
  if (!read.name) {
    result.problem = std::move(read.problem);
    return result;
  }
  result.family = &matchDeviceFamily(*read.name);
  result.partName = std::move(*read.name);
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
  SofDetection notOpened;
  const auto status = platform::statFile(path);
  if (status && status->isDirectory) {
    notOpened.problem = messages::SOF_IS_FOLDER;
    return notOpened;
  }
  platform::InputFile file;
  if (!file.open(path)) {
    notOpened.problem =
        platform::fileExists(path) ? messages::SOF_CANNOT_OPEN + file.failure() : messages::SOF_NOT_FOUND;
    return notOpened;
  }
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
