// S-record text to image: block splitting at line ends, table-driven parsing on worker
// threads, application of the records in file order on the calling thread.
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
#include <vector>

namespace vantrel::memory {

namespace {

/// Parsed blocks waiting to be applied while later ones are parsed.
constexpr std::size_t MAX_PENDING = 3;

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
    std::uint32_t dataPos; // into bytes
    std::uint16_t dataLen;
    char type;
  };
  std::vector<Record> records;
  std::vector<std::uint8_t> bytes;
  bool malformed = false; // a malformed line follows the records
  std::string text;       // the block's text, handed back for reuse
};

void SrecordReader::parseBlock(std::string_view text, bool atEnd, ParsedBlock &block) {
  block.records.clear();
  block.bytes.clear();
  block.malformed = false;
  block.records.reserve(text.size() / 76 + 1);
  block.bytes.reserve(text.size() / 2);
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
    if (end == size && !atEnd) break; // cannot happen for a block cut at a line end
    if (!parseSrecordLine(std::string_view(begin + pos, end - pos), line)) {
      block.malformed = true;
      break;
    }
    ParsedBlock::Record record{line.address, static_cast<std::uint32_t>(block.bytes.size()), 0, line.type};
    if (line.type <= '3') {
      record.dataLen = static_cast<std::uint16_t>(line.dataLen);
      block.bytes.insert(block.bytes.end(), line.data, line.data + line.dataLen);
    }
    block.records.push_back(record);
    pos = next;
  }
}

void SrecordReader::apply(const ParsedBlock &block) {
  for (const ParsedBlock::Record &r : block.records) {
    switch (r.type) {
    case '0':
      image_.setHeader(Srec::decodeHeader(
          Bytes(block.bytes.begin() + r.dataPos, block.bytes.begin() + r.dataPos + r.dataLen)));
      break;
    case '1':
    case '2':
    case '3':
      // An address plus offset beyond the 64-bit range lies outside every window.
      if (r.dataLen != 0 && offset_ <= INT64_MAX - static_cast<std::int64_t>(r.address))
        image_.add(static_cast<std::int64_t>(r.address) + offset_, block.bytes.data() + r.dataPos, r.dataLen);
      break;
    case '7':
    case '8':
    case '9':
      image_.setStart(static_cast<std::int64_t>(r.address));
      break;
    default: // S5: the count is not compared with anything
      break;
    }
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
  // applied strictly in order, so the image sees the records in file order. Blocks (text
  // and parse results) go round for reuse, so their pages are touched once.
  std::deque<std::future<ParsedBlock>> pending;
  std::vector<ParsedBlock> spare;
  auto applyFront = [&] {
    ParsedBlock block = pending.front().get();
    pending.pop_front();
    apply(block);
    spare.push_back(std::move(block));
  };

  std::string carry;
  bool atEnd = false;
  bool firstBlock = true;
  while (!atEnd) {
    ParsedBlock block;
    if (!spare.empty()) {
      block = std::move(spare.back());
      spare.pop_back();
    }
    std::string &text = block.text;
    text.assign(carry);
    const std::size_t held = text.size();
    text.resize(held + BLOCK_SIZE);
    std::size_t got = 0;
    while (got < BLOCK_SIZE) {
      const std::int64_t n = in.read(text.data() + held + got, BLOCK_SIZE - got);
      if (n < 0) throw RWMemoryException(std::string(messages::FILE_NOT_FOUND) + path);
      if (n == 0) {
        atEnd = true;
        break;
      }
      got += static_cast<std::size_t>(n);
    }
    text.resize(held + got);
    std::size_t cut = atEnd ? text.size() : completeLength(text, text.size(), false);
    if (cut == 0 && text.size() > MAX_RECORD_CHARS + 2)
      cut = text.size(); // a line longer than any record: malformed either way
    carry.assign(text, cut, std::string::npos);
    text.resize(cut);
    if (text.empty()) continue;
    if (firstBlock && atEnd) {
      // A file of one block (the usual small file) needs no worker thread.
      parseBlock(text, true, block);
      apply(block);
      break;
    }
    firstBlock = false;
    const bool last = atEnd;
    pending.push_back(std::async(std::launch::async, [last, block = std::move(block)]() mutable {
      parseBlock(block.text, last, block);
      return std::move(block);
    }));
    if (pending.size() >= MAX_PENDING) applyFront();
  }
  while (!pending.empty())
    applyFront();
  in.close();
}

} // namespace vantrel::memory
