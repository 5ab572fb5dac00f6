// S-record text to images: block splitting at line ends, table-driven parsing on worker
// threads straight into data blocks, application of the records in file order on the
// calling thread, which hands the blocks' runs to the images.
#include "memory/SrecordReader.h"

#include "memory/MemoryMessages.h"
#include "memory/RWMemoryException.h"
#include "memory/Srec.h"
#include "memory/SrecordLine.h"
#include "memory/SrecordMemory.h"
#include "platform/file.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <future>
#include <memory>
#include <vector>

namespace vantrel::memory {

namespace {

/// Parsed blocks waiting to be applied while later ones are parsed.
constexpr std::size_t MAX_PENDING = 3;

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

} // namespace

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
  std::size_t textSize = 0;
};

void SrecordReader::parseBlock(std::string_view text, bool atEnd, ParsedBlock &block) {
  block.records.clear();
  block.malformed = false;
  block.records.reserve(text.size() / 76 + 1);
  // No line holds more data bytes than half its characters; a malformed line may write up
  // to 255 bytes past the last good one before it is refused.
  const std::size_t room = text.size() / 2 + 256;
  if (!block.data.keeper || block.data.size < room) block.data = allocateBlock(room);
  std::uint8_t *const data = block.data.data;
  std::uint32_t used = 0;
  SrecordLine line;
  const char *const begin = text.data();
  const std::size_t size = text.size();
  std::size_t pos = 0;
  std::size_t nextLf = 0; // position of the next LF at or after pos (size when none)
  bool lfKnown = false;
  while (pos < size) {
    // Line ends are found with memchr: the next LF is remembered across lines so that
    // CR-only text does not rescan the block for every line.
    if (!lfKnown || nextLf < pos) {
      const void *lf = std::memchr(begin + pos, '\n', size - pos);
      nextLf = lf ? static_cast<std::size_t>(static_cast<const char *>(lf) - begin) : size;
      lfKnown = true;
    }
    const void *cr = std::memchr(begin + pos, '\r', nextLf - pos);
    const std::size_t end = cr ? static_cast<std::size_t>(static_cast<const char *>(cr) - begin) : nextLf;
    std::size_t next = end + 1;
    if (cr && end + 1 < size && begin[end + 1] == '\n') next = end + 2;
    if (end == size && !atEnd) {
      // Only a line too long for any record reaches past a block cut at a line end.
      block.malformed = end - pos > MAX_RECORD_CHARS;
      break;
    }
    if (!parseSrecordLine(std::string_view(begin + pos, end - pos), line, data + used)) {
      block.malformed = true;
      break;
    }
    ParsedBlock::Record record{line.address, used, 0, line.type};
    if (line.type <= '3') {
      record.dataLen = static_cast<std::uint16_t>(line.dataLen);
      used += static_cast<std::uint32_t>(line.dataLen);
    }
    block.records.push_back(record);
    pos = next;
  }
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
    parseBlock(text.substr(0, cut), atEnd, block);
    apply(block);
    text.remove_prefix(cut);
  }
}

void SrecordReader::readFile(const std::string &path) {
  platform::InputFile in;
  if (!in.open(path)) throw RWMemoryException(std::string(messages::FILE_NOT_FOUND) + path);

  // Each block is parsed on a worker thread while the next is read; parsed blocks are
  // applied strictly in order, so the images see the records in file order. Blocks (text
  // and data) go round for reuse, so their pages are touched once; a data block that an
  // image kept is replaced by a fresh one.
  std::deque<std::future<ParsedBlock>> pending;
  std::vector<ParsedBlock> spare;
  auto applyFront = [&] {
    ParsedBlock block = pending.front().get();
    pending.pop_front();
    apply(block);
    if (block.data.keeper.use_count() > 1) block.data = Block{};
    spare.push_back(std::move(block));
  };

  constexpr std::size_t TEXT_ROOM = BLOCK_SIZE + MAX_CARRY;
  char carry[MAX_CARRY];
  std::size_t carried = 0;
  bool atEnd = false;
  bool firstBlock = true;
  while (!atEnd) {
    ParsedBlock block;
    if (!spare.empty()) {
      block = std::move(spare.back());
      spare.pop_back();
    }
    if (!block.text) block.text.reset(new char[TEXT_ROOM]);
    char *text = block.text.get();
    std::memcpy(text, carry, carried);
    std::size_t got = 0;
    while (got < BLOCK_SIZE) {
      const std::int64_t n = in.read(text + carried + got, BLOCK_SIZE - got);
      if (n < 0) throw RWMemoryException(std::string(messages::FILE_NOT_FOUND) + path);
      if (n == 0) {
        atEnd = true;
        break;
      }
      got += static_cast<std::size_t>(n);
    }
    const std::string_view all(text, carried + got);
    std::size_t cut = atEnd ? all.size() : completeLength(all, all.size(), false);
    if (cut == 0 && all.size() > MAX_RECORD_CHARS + 2) cut = all.size(); // longer than any record: malformed
    // The unfinished line goes on into the next block; only so much of it as shows it
    // malformed when it is longer than any record.
    carried = std::min(all.size() - cut, MAX_CARRY);
    std::memcpy(carry, text + cut, carried);
    block.textSize = cut;
    if (cut == 0) continue;
    if (firstBlock && atEnd) {
      // A file of one block (the usual small file) needs no worker thread.
      parseBlock(std::string_view(text, cut), true, block);
      apply(block);
      break;
    }
    firstBlock = false;
    const bool last = atEnd;
    pending.push_back(std::async(std::launch::async, [last, block = std::move(block)]() mutable {
      parseBlock(std::string_view(block.text.get(), block.textSize), last, block);
      return std::move(block);
    }));
    if (pending.size() >= MAX_PENDING) applyFront();
  }
  while (!pending.empty())
    applyFront();
  in.close();
}

} // namespace vantrel::memory
