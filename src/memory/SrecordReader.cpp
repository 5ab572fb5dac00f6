// S-record text to images: block splitting at line ends, table-driven parsing on a few
// threads straight into data blocks, application of the records in file order, which
// hands the blocks' runs to the images.
#include "memory/SrecordReader.h"

#include "flashDevice/Lanes.h"
#include "flashDevice/Unsigned.h"
#include "memory/MemoryMessages.h"
#include "memory/RWMemoryException.h"
#include "memory/Srec.h"
#include "memory/SrecordLine.h"
#include "memory/SrecordMemory.h"
#include "memory/Turns.h"
#include "platform/file.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace vantrel::memory {

namespace {

/// Largest region the data blocks are cut from.
constexpr std::size_t DATA_REGION = std::size_t{32} << 20;

/// Longest piece of an unfinished line carried into the next block: a line longer than any
/// record is malformed however long it is, and this much of it shows that.
constexpr std::size_t MAX_CARRY = MAX_RECORD_CHARS + 3;

/// Length of the prefix of text[0, limit) that ends with a complete line, or 0. A CR
/// ends a line unless an LF follows, which then belongs to it; a CR at the very end of
/// text is a line end only at the end of the input (the next block may start with LF).
std::size_t completeLength(std::string_view text, std::size_t limit, bool atEnd) {
  for (std::size_t i = limit; i > 0; --i) {
    const char c = text[i - 1];
    if (c == '\n') return i;
    if (c == '\r') {
      if (i < text.size()) return text[i] == '\n' ? i + 1 : i;
      if (atEnd) return i;
    }
  }
  return 0;
}

/// True for the characters that end a line.
inline bool isLineEnd(char c) {
  return c == '\n' || c == '\r';
}

} // namespace

/// Blocks for decoded data, cut one after another from large regions, so that their pages
/// come in large pages from few regions; the room a block did not use goes back before the
/// next is cut, so that none lies unused between them. One per thread. A region whose
/// blocks nobody holds any more is cut again from its start.
class SrecordReader::DataArena {
public:
  explicit DataArena(std::size_t regionBytes) : regionBytes_(regionBytes) {}

  Block take(std::size_t n) {
    if (!region_.keeper || region_.size - used_ < n) {
      if (region_.keeper && region_.keeper.use_count() == 1 && region_.size >= n)
        used_ = 0;
      else
        region_ = allocateBlock(std::max(n, regionBytes_));
      used_ = 0;
    }
    Block block{region_.keeper, region_.data + used_, n};
    used_ += n;
    return block;
  }

  /// The last block taken keeps only its first n bytes; the rest is cut again.
  void keepOnly(Block &block, std::size_t n) {
    used_ -= block.size - n;
    block.size = n;
  }

private:
  std::size_t regionBytes_;
  Block region_;
  std::size_t used_ = 0;
};

struct SrecordReader::ParsedBlock {
  struct Record {
    std::uint32_t address;
    std::uint32_t dataPos; // into data
    std::uint16_t dataLen;
    char type;
  };
  std::vector<Record> records;
  // The data bytes of the records, decoded in place, one after another. Runs of them go to
  // the images as they are; the block is used again only when no image kept any of it.
  Block data;
  bool malformed = false; // a malformed line follows the records
  // The block's text (uninitialised storage: only the bytes read are ever looked at).
  std::unique_ptr<char[]> text;
};

void SrecordReader::parseBlock(std::string_view text, bool atEnd, DataArena &arena, ParsedBlock &block) {
  block.records.clear();
  block.malformed = false;
  // The data bytes are decoded straight into a block of the most the text can spell (two
  // digits a byte); what they leave goes back to the arena.
  block.data = arena.take(text.size() / 2);
  std::uint8_t *const data = block.data.data;
  std::uint32_t used = 0;
  SrecordLine parsed;
  const char *const begin = text.data();
  const std::size_t size = text.size();
  for (std::size_t pos = 0; pos < size;) {
    const char *const line = begin + pos;
    const std::size_t rest = size - pos;
    // A record's count says where its line ends: when a line end stands there and the
    // characters before it parse as that record, none of them is a line end, so they are
    // the whole line. Anything else is taken the slow way, up to the first CR or LF.
    std::size_t length = 0;
    if (rest > 4) {
      const int count = flashDevice::Unsigned::getHexByte(line + 2);
      const auto said = static_cast<std::size_t>(4 + 2 * count);
      if (count >= 0 && said < rest && isLineEnd(line[said]) &&
          parseSrecordLine(std::string_view(line, said), parsed, data + used))
        length = said;
    }
    if (length == 0) {
      length = flashDevice::lanes::firstLineEnd(line, rest);
      if (length == rest && !atEnd) {
        // Only a line too long for any record reaches past a block cut at a line end.
        block.malformed = length > MAX_RECORD_CHARS;
        break;
      }
      if (!parseSrecordLine(std::string_view(line, length), parsed, data + used)) {
        block.malformed = true;
        break;
      }
    }
    ParsedBlock::Record record{parsed.address, used, 0, parsed.type};
    if (parsed.type <= '3') {
      record.dataLen = static_cast<std::uint16_t>(parsed.dataLen);
      used += static_cast<std::uint32_t>(parsed.dataLen);
    }
    block.records.push_back(record);
    pos += length + 1;
    if (length < rest && line[length] == '\r' && length + 1 < rest && line[length + 1] == '\n') ++pos;
  }
  arena.keepOnly(block.data, used);
}

void SrecordReader::addRun(const ParsedBlock &block, std::int64_t addr, std::uint32_t pos, std::size_t n,
                           bool whole) {
  const auto len = static_cast<std::int64_t>(n);
  std::uint8_t *bytes = block.data.data + pos;
  bool handedOver = false;
  for (SrecordMemory *image : images_) {
    if (image->intersection(addr, len) == 0) continue;
    if (!whole) {
      image->add(addr, bytes, n);
    } else if (!handedOver) {
      // The first image to keep the bytes holds them where they were decoded; another
      // image keeping them too gets its own copy, so that no two images share bytes.
      image->add(addr, Block{block.data.keeper, bytes, n});
      handedOver = true;
    } else {
      image->add(addr, bytes, n);
    }
  }
}

void SrecordReader::apply(const ParsedBlock &block) {
  using Record = ParsedBlock::Record;
  const std::vector<Record> &records = block.records;
  // An address plus offset beyond the 64-bit range lies outside every window.
  const auto placed = [this](const Record &r) {
    return offset_ <= INT64_MAX - static_cast<std::int64_t>(r.address);
  };
  const auto isData = [](const Record &r) { return r.type >= '1' && r.type <= '3'; };
  for (std::size_t i = 0; i < records.size();) {
    const Record &r = records[i];
    if (!isData(r)) {
      if (r.type == '0') {
        const std::uint8_t *p = block.data.data + r.dataPos;
        const std::string header = Srec::decodeHeader(Bytes(p, p + r.dataLen));
        for (SrecordMemory *image : images_)
          image->setHeader(header);
      } else if (r.type >= '7') {
        for (SrecordMemory *image : images_)
          image->setStart(static_cast<std::int64_t>(r.address));
      } // S5: the count is not compared with anything
      ++i;
      continue;
    }
    if (r.dataLen == 0 || !placed(r)) {
      ++i;
      continue;
    }
    // The records that continue this one, address after address, form one run: one add
    // instead of one per record.
    const std::int64_t addr = static_cast<std::int64_t>(r.address) + offset_;
    std::size_t n = r.dataLen;
    std::size_t j = i + 1;
    for (; j < records.size(); ++j) {
      const Record &q = records[j];
      if (!isData(q)) break;
      if (q.dataLen == 0) continue;
      const auto sofar = static_cast<std::int64_t>(n);
      if (!placed(q) || q.dataPos != r.dataPos + n || sofar > INT64_MAX - addr ||
          static_cast<std::int64_t>(q.address) + offset_ != addr + sofar)
        break;
      n += q.dataLen;
    }
    // A run adds its bytes exactly as its records would one by one, unless an image holds
    // a segment that begins inside the run or right after it: the run would join that
    // segment where the records join the run. Such runs go record by record.
    const std::int64_t after = std::min<std::int64_t>(INT64_MAX - 1, addr) + 1;
    const std::int64_t last =
        static_cast<std::int64_t>(n) > INT64_MAX - addr ? INT64_MAX : addr + static_cast<std::int64_t>(n);
    bool whole = true;
    for (SrecordMemory *image : images_)
      whole = whole && !image->segmentStartsIn(after, last);
    if (whole) {
      addRun(block, addr, r.dataPos, n, true);
    } else {
      for (std::size_t k = i; k < j; ++k) {
        const Record &q = records[k];
        if (q.dataLen != 0)
          addRun(block, static_cast<std::int64_t>(q.address) + offset_, q.dataPos, q.dataLen, false);
      }
    }
    i = j;
  }
  if (block.malformed) throw RWMemoryException(messages::MALFORMED_RECORD);
}

void SrecordReader::readText(std::string_view text) {
  // Held text is parsed block by block on the calling thread.
  while (!text.empty()) {
    const std::size_t limit = std::min(text.size(), BLOCK_SIZE);
    std::size_t cut = limit == text.size() ? limit : completeLength(text, limit, true);
    // No line end within a block: the line is longer than any record, and parsing the
    // block reports it as malformed.
    const bool atEnd = cut == 0 || cut == text.size();
    if (cut == 0) cut = limit;
    ParsedBlock block;
    DataArena arena(cut / 2);
    parseBlock(text.substr(0, cut), atEnd, arena, block);
    apply(block);
    text.remove_prefix(cut);
  }
}

void SrecordReader::readFile(const std::string &path) {
  platform::InputFile in;
  if (!in.open(path)) throw RWMemoryException(std::string(messages::FILE_NOT_FOUND) + path);

  // Each block is read, parsed and applied by one of a few threads: read and applied in
  // turn, so that the images see the records in file order, parsed alongside the others.
  // Each thread reuses its text storage, so that its pages are touched once, and cuts the
  // data from regions of its own, about the size of what the whole file can hold, up to
  // DATA_REGION bytes at a time.
  const std::int64_t fileSize = in.size();
  const std::size_t regionBytes =
      fileSize > 0 ? std::min(static_cast<std::size_t>(fileSize) / 2 + 256, DATA_REGION) : DATA_REGION;
  constexpr unsigned READ = 0;
  constexpr unsigned APPLY = 1;
  // Text is read to its place as it lies in the file (platform::lineUpOffset); the
  // unfinished line of the block before goes just in front of it.
  constexpr std::size_t TEXT_ROOM = MAX_CARRY + platform::LINE_UP + BLOCK_SIZE;
  char carry[MAX_CARRY];
  std::size_t carried = 0;
  std::uint64_t readSoFar = 0;
  bool atEnd = false;
  Turns turns;
  const std::size_t blocks = fileSize > 0 ? static_cast<std::size_t>(fileSize) / BLOCK_SIZE + 1 : 1;
  turns.run(Turns::threadsFor(blocks), [&] {
    ParsedBlock block;
    DataArena arena(regionBytes);
    for (;;) {
      const std::size_t job = turns.take();
      if (!turns.await(job, READ)) return;
      if (atEnd) {
        turns.pass(READ); // nothing left: the jobs after this one find the same
        return;
      }
      if (!block.text) block.text.reset(new char[TEXT_ROOM]);
      char *const readAt =
          block.text.get() + MAX_CARRY + platform::lineUpOffset(block.text.get() + MAX_CARRY, readSoFar);
      char *const text = readAt - carried;
      std::memcpy(text, carry, carried);
      std::size_t got = 0;
      while (got < BLOCK_SIZE) {
        const std::int64_t n = in.read(readAt + got, BLOCK_SIZE - got);
        if (n < 0) throw RWMemoryException(std::string(messages::FILE_NOT_FOUND) + path);
        if (n == 0) {
          atEnd = true;
          break;
        }
        got += static_cast<std::size_t>(n);
      }
      readSoFar += got;
      const std::string_view all(text, carried + got);
      std::size_t cut = atEnd ? all.size() : completeLength(all, all.size(), false);
      if (cut == 0 && all.size() > MAX_RECORD_CHARS + 2)
        cut = all.size(); // longer than any record: malformed
      // The unfinished line goes on into the next block; only so much of it as shows it
      // malformed when it is longer than any record.
      carried = std::min(all.size() - cut, MAX_CARRY);
      std::memcpy(carry, text + cut, carried);
      const bool last = atEnd;
      turns.pass(READ);
      parseBlock(std::string_view(text, cut), last, arena, block);
      if (!turns.await(job, APPLY)) return;
      apply(block);
      block.data = Block{}; // what the images did not keep goes back to the arena
      turns.pass(APPLY);
    }
  });
  in.close();
}

} // namespace vantrel::memory
