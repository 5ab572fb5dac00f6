// One run of bytes: chunked storage, joins at either end, in-place overlays and reads, and
// chunks taken over from other runs and from blocks the run does not own.
#include "memory/Segment.h"

#include "memory/MemoryMessages.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <stdexcept>

namespace vantrel::memory {

using detail::Chunk;
using detail::Pieces;

namespace {

// A piece at least this large that can be taken over becomes a chunk of its own instead of
// being copied into spare room.
constexpr std::size_t TAKE_OVER_THRESHOLD = std::size_t{64} << 10;

/// Returns a raw block to the byte-array allocator it came from.
struct BlockDeleter {
  std::size_t bytes;
  void operator()(std::uint8_t *block) const noexcept {
    flashDevice::ByteAllocator<std::uint8_t>().deallocate(block, bytes);
  }
};

/// A chunk over an uninitialised block of room bytes from the byte-array allocator (pages
/// straight from the OS when large): its spare room is never read, so it is never filled.
Chunk rawChunk(std::size_t room) {
  Chunk c;
  std::uint8_t *block = flashDevice::ByteAllocator<std::uint8_t>().allocate(room);
  c.keeper = std::shared_ptr<std::uint8_t>(block, BlockDeleter{room});
  c.mem = block;
  c.cap = room;
  return c;
}

/// Copies the pieces' bytes [from, from + n) to out.
void copyOut(const Pieces &p, std::size_t from, std::size_t n, std::uint8_t *out) {
  for (std::size_t i = 0; i < p.count && n != 0; ++i) {
    const Chunk &c = p.first[i];
    if (from >= c.size()) {
      from -= c.size();
      continue;
    }
    const std::size_t k = std::min(c.size() - from, n);
    std::memcpy(out, c.data() + from, k);
    out += k;
    n -= k;
    from = 0;
  }
}

/// One borrowed piece over n bytes at data, for adds of bytes the caller keeps.
Chunk borrowed(const std::uint8_t *data, std::size_t n) {
  Chunk c;
  // Borrowed bytes are only read: a piece without a keeper is copied, never written.
  c.mem = const_cast<std::uint8_t *>(data);
  c.cap = n;
  c.end = n;
  return c;
}

} // namespace

Block allocateBlock(std::size_t bytes) {
  Chunk c = rawChunk(bytes);
  return Block{std::move(c.keeper), c.mem, bytes};
}

void Pieces::dropFront(std::size_t n) {
  size -= n;
  while (n != 0) {
    Chunk &c = *first;
    if (n < c.size()) {
      // The dropped bytes become spare room of this piece alone.
      c.begin += n;
      return;
    }
    n -= c.size();
    ++first;
    --count;
  }
}

void Pieces::keepFront(std::size_t n) {
  size = n;
  for (std::size_t i = 0; i < count; ++i) {
    Chunk &c = first[i];
    if (n <= c.size()) {
      c.end = c.begin + n;
      count = n == 0 ? i : i + 1;
      return;
    }
    n -= c.size();
  }
}

Bytes Pieces::copy(std::size_t from, std::size_t n) const {
  Bytes out(n);
  copyOut(*this, from, n, out.data());
  return out;
}

Chunk Segment::copyChunk(const Pieces &p, std::size_t from, std::size_t n, std::size_t room, bool atBack) {
  Chunk c = rawChunk(room);
  c.begin = atBack ? room - n : 0;
  c.end = c.begin + n;
  copyOut(p, from, n, c.data());
  return c;
}

Segment::Segment(std::int64_t base, const Bytes &data) : Segment(base, data.data(), data.size()) {}

Segment::Segment(std::int64_t base, Bytes &&data) {
  if (base < 0) throw std::invalid_argument(messages::SEGMENT_BASE_POSITIVE);
  segBase_ = base;
  segLen_ = static_cast<std::int64_t>(data.size());
  if (data.empty()) return;
  auto owned = std::make_shared<Bytes>(std::move(data));
  Chunk c;
  c.mem = owned->data();
  c.cap = c.end = owned->size();
  c.keeper = std::move(owned);
  chunks_.push_back(std::move(c));
}

Segment::Segment(std::int64_t base, const OptionalBytes &data) {
  if (base < 0) throw std::invalid_argument(messages::SEGMENT_BASE_POSITIVE);
  if (!data) throw std::invalid_argument(messages::SEGMENT_WITHOUT_DATA);
  Chunk c = borrowed(data->data(), data->size());
  Pieces p{&c, 1, data->size()};
  replaceWith(base, p);
}

Segment::Segment(std::int64_t base, const std::uint8_t *data, std::size_t n) {
  if (base < 0) throw std::invalid_argument(messages::SEGMENT_BASE_POSITIVE);
  Chunk c = borrowed(data, n);
  Pieces p{&c, 1, n};
  replaceWith(base, p);
}

Segment::Segment(std::int64_t base, Block block) {
  if (base < 0) throw std::invalid_argument(messages::SEGMENT_BASE_POSITIVE);
  segBase_ = base;
  segLen_ = static_cast<std::int64_t>(block.size);
  if (block.size == 0) return;
  Chunk c;
  c.keeper = std::move(block.keeper);
  c.mem = block.data;
  c.cap = c.end = block.size;
  chunks_.push_back(std::move(c));
}

Pieces Segment::pieces() {
  return Pieces{chunks_.data(), chunks_.size(), static_cast<std::size_t>(segLen_)};
}

bool Segment::add(std::int64_t addr, const Bytes &data) {
  return add(addr, data.data(), data.size());
}

bool Segment::add(std::int64_t addr, const OptionalBytes &data) {
  if (addr < 0) throw std::invalid_argument(messages::ADDRESS_NOT_NEGATIVE);
  if (!data) throw std::invalid_argument(messages::DATA_NOT_NULL);
  return add(addr, data->data(), data->size());
}

bool Segment::add(std::int64_t addr, const std::uint8_t *data, std::size_t n) {
  Chunk c = borrowed(data, n);
  Pieces p{&c, 1, n};
  return add(addr, p);
}

bool Segment::add(std::int64_t addr, Pieces &p) {
  if (addr < 0) throw std::invalid_argument(messages::ADDRESS_NOT_NEGATIVE);
  const auto len = static_cast<std::int64_t>(p.size);
  if (precedes(addr)) {
    append(p);
  } else if (succeeds(addr, len)) {
    prepend(p);
  } else if (has(addr, len)) {
    overlay(addr, p);
  } else {
    return false;
  }
  return true;
}

std::size_t Segment::nextBlockSize(std::size_t n) const {
  // Blocks grow with the run so that the number of chunks stays logarithmic while the
  // spare room never exceeds the bytes already held (or MAX_BLOCK).
  const std::size_t grown = std::min(std::max(static_cast<std::size_t>(segLen_), std::size_t{32}), MAX_BLOCK);
  return std::max(n, grown);
}

void Segment::append(const std::uint8_t *data, std::size_t n) {
  Chunk c = borrowed(data, n);
  Pieces p{&c, 1, n};
  append(p);
}

void Segment::append(Pieces &p) {
  for (std::size_t i = 0; i < p.count; ++i) {
    Chunk &piece = p.first[i];
    const std::size_t n = piece.size();
    if (n == 0) continue;
    if (piece.keeper && n >= TAKE_OVER_THRESHOLD) {
      chunks_.push_back(std::move(piece));
      segLen_ += static_cast<std::int64_t>(n);
      continue;
    }
    const Pieces one{&piece, 1, n};
    std::size_t done = 0;
    if (!chunks_.empty()) {
      Chunk &last = chunks_.back();
      done = std::min(last.cap - last.end, n);
      if (done != 0) {
        std::memcpy(last.mem + last.end, piece.data(), done);
        last.end += done;
      }
    }
    if (done < n) chunks_.push_back(copyChunk(one, done, n - done, nextBlockSize(n - done), false));
    segLen_ += static_cast<std::int64_t>(n);
  }
}

void Segment::prepend(const std::uint8_t *data, std::size_t n) {
  Chunk c = borrowed(data, n);
  Pieces p{&c, 1, n};
  prepend(p);
}

void Segment::prepend(Pieces &p) {
  // Pieces go in front one by one, the last first.
  for (std::size_t i = p.count; i-- > 0;) {
    Chunk &piece = p.first[i];
    const std::size_t n = piece.size();
    if (n == 0) continue;
    if (piece.keeper && n >= TAKE_OVER_THRESHOLD) {
      chunks_.insert(chunks_.begin(), std::move(piece));
    } else {
      const Pieces one{&piece, 1, n};
      std::size_t done = 0;
      if (!chunks_.empty()) {
        // Fill the spare room in front of the first chunk with the tail of the piece.
        Chunk &first = chunks_.front();
        done = std::min(first.begin, n);
        if (done != 0) {
          first.begin -= done;
          std::memcpy(first.mem + first.begin, piece.data() + (n - done), done);
        }
      }
      if (done < n)
        chunks_.insert(chunks_.begin(), copyChunk(one, 0, n - done, nextBlockSize(n - done), true));
    }
    segBase_ -= static_cast<std::int64_t>(n);
    segLen_ += static_cast<std::int64_t>(n);
  }
}

void Segment::writeAt(std::int64_t from, const Pieces &p, std::size_t pFrom, std::size_t n) {
  // Walks the run's chunks and writes in place: no merge of the chunk list is needed.
  std::size_t skip = static_cast<std::size_t>(from);
  std::size_t taken = 0;
  for (Chunk &c : chunks_) {
    if (taken == n) break;
    if (skip >= c.size()) {
      skip -= c.size();
      continue;
    }
    const std::size_t k = std::min(c.size() - skip, n - taken);
    copyOut(p, pFrom + taken, k, c.data() + skip);
    taken += k;
    skip = 0;
  }
}

void Segment::replaceWith(std::int64_t base, Pieces &p) {
  std::vector<Chunk> chunks;
  // Large pieces that can be taken over are kept as they are; borrowed bytes, and pieces
  // too small to be worth holding a whole block for, are copied into blocks of their size.
  for (std::size_t i = 0; i < p.count; ++i) {
    Chunk &piece = p.first[i];
    if (piece.size() == 0) continue;
    if (piece.keeper && piece.size() >= TAKE_OVER_THRESHOLD) {
      chunks.push_back(std::move(piece));
    } else {
      const Pieces one{&piece, 1, piece.size()};
      chunks.push_back(copyChunk(one, 0, piece.size(), piece.size(), false));
    }
  }
  chunks_ = std::move(chunks);
  segBase_ = base;
  segLen_ = static_cast<std::int64_t>(p.size);
}

void Segment::overlay(std::int64_t addr, const std::uint8_t *data, std::size_t n) {
  Chunk c = borrowed(data, n);
  Pieces p{&c, 1, n};
  overlay(addr, p);
}

void Segment::overlay(std::int64_t addr, Pieces &p) {
  if (addr < 0) throw std::invalid_argument(messages::ADDRESS_NOT_NEGATIVE);
  const auto len = static_cast<std::int64_t>(p.size);
  const std::int64_t e = segBase_ + segLen_; // one past the run
  const std::int64_t f = addr + len;         // one past the data
  if (addr <= segBase_ && e <= f) {
    // covers: the run becomes the data.
    replaceWith(addr, p);
  } else if (segBase_ <= addr && f <= e) {
    // inside
    writeAt(addr - segBase_, p, 0, p.size);
  } else if (addr < segBase_ && segBase_ < f && f < e) {
    // front: the tail of data overwrites the run's head, its head is prepended.
    const auto head = static_cast<std::size_t>(segBase_ - addr);
    writeAt(0, p, head, p.size - head);
    p.keepFront(head);
    prepend(p);
  } else if (segBase_ < addr && addr < e && e < f) {
    // back: the head of data overwrites the run's tail, its tail is appended.
    const auto head = static_cast<std::size_t>(e - addr);
    writeAt(addr - segBase_, p, 0, head);
    p.dropFront(head);
    append(p);
  } else {
    throw std::invalid_argument(messages::DATA_DOESNT_OVERLAY);
  }
}

void Segment::takeTail(Segment &&other, std::int64_t from) {
  std::size_t skip = static_cast<std::size_t>(std::max<std::int64_t>(from, 0));
  for (Chunk &c : other.chunks_) {
    if (skip >= c.size()) {
      skip -= c.size();
      continue;
    }
    // The skipped head of a chunk becomes unused room; the bytes stay where they are.
    c.begin += skip;
    skip = 0;
    segLen_ += static_cast<std::int64_t>(c.size());
    chunks_.push_back(std::move(c));
  }
  other.clear();
}

Segment Segment::splitOff(std::size_t at) {
  Segment tail;
  tail.segBase_ = segBase_ + static_cast<std::int64_t>(at);
  tail.segLen_ = segLen_ - static_cast<std::int64_t>(at);
  std::size_t skip = at;
  std::size_t i = 0;
  while (skip >= chunks_[i].size()) {
    skip -= chunks_[i].size();
    ++i;
  }
  auto rest = chunks_.begin() + static_cast<std::ptrdiff_t>(i);
  if (skip != 0) {
    // One block, two users: each half may use only its own side of the cut.
    Chunk &c = chunks_[i];
    const std::size_t cut = c.begin + skip;
    Chunk back;
    back.keeper = c.keeper;
    back.mem = c.mem + cut;
    back.cap = c.cap - cut;
    back.end = c.end - cut;
    c.cap = cut;
    c.end = cut;
    tail.chunks_.push_back(std::move(back));
    ++rest;
  }
  std::move(rest, chunks_.end(), std::back_inserter(tail.chunks_));
  chunks_.erase(rest, chunks_.end());
  segLen_ = static_cast<std::int64_t>(at);
  return tail;
}

void Segment::truncate(std::size_t n) {
  if (static_cast<std::int64_t>(n) >= segLen_) return;
  std::size_t keep = n;
  std::size_t i = 0;
  for (; i < chunks_.size() && keep > chunks_[i].size(); ++i)
    keep -= chunks_[i].size();
  if (n == 0) {
    chunks_.clear();
  } else {
    // The bytes after the cut become spare room of the last chunk kept.
    chunks_[i].end = chunks_[i].begin + keep;
    chunks_.erase(chunks_.begin() + static_cast<std::ptrdiff_t>(i) + 1, chunks_.end());
  }
  segLen_ = static_cast<std::int64_t>(n);
}

bool Segment::precedes(std::int64_t addr) const {
  if (addr < 0) throw std::invalid_argument(messages::ADDRESS_NOT_NEGATIVE);
  return segBase_ + segLen_ == addr;
}

bool Segment::succeeds(std::int64_t addr, std::int64_t len) const {
  if (addr < 0 || len < 0) throw std::invalid_argument(messages::ADDRESS_AND_LENGTH_POSITIVE);
  return addr + len == segBase_;
}

bool Segment::has(std::int64_t addr, std::int64_t len) const {
  if (len < 0) throw std::invalid_argument(messages::LENGTH_POSITIVE);
  // An empty range shares no offset with anything.
  return len > 0 && segBase_ < addr + len && addr < segBase_ + segLen_;
}

OptionalBytes Segment::get(std::int64_t addr, std::int64_t len) const {
  if (len < 0) throw std::invalid_argument(messages::LENGTH_POSITIVE);
  const std::int64_t o = std::max<std::int64_t>(addr - segBase_, 0);
  if (o >= segLen_) return std::nullopt;
  const std::int64_t n = std::min(len, segLen_ - o);
  Bytes result;
  result.reserve(static_cast<std::size_t>(n));
  visit(o, static_cast<std::size_t>(n),
        [&result](const std::uint8_t *p, std::size_t k) { result.insert(result.end(), p, p + k); });
  return result;
}

void Segment::clear() {
  chunks_.clear();
  segLen_ = 0;
}

} // namespace vantrel::memory
