// One run of bytes: chunked storage, joins at either end, in-place overlays and reads.
#include "memory/Segment.h"

#include "memory/MemoryMessages.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace vantrel::memory {

namespace {

// Data at least this large that is moved in becomes its own chunk instead of being copied
// into spare room.
constexpr std::size_t TAKE_OVER_THRESHOLD = std::size_t{64} << 10;

} // namespace

void Segment::BlockDeleter::operator()(std::uint8_t *block) const noexcept {
  flashDevice::ByteAllocator<std::uint8_t>().deallocate(block, bytes);
}

Segment::Block Segment::allocateBlock(std::size_t bytes) {
  // The allocator's blocks are left uninitialised; only a vector would fill them.
  return Block(flashDevice::ByteAllocator<std::uint8_t>().allocate(bytes), BlockDeleter{bytes});
}

Segment::Chunk Segment::Chunk::ofCopy(const std::uint8_t *data, std::size_t n, std::size_t cap, bool atBack) {
  Chunk c;
  c.raw = allocateBlock(cap);
  c.mem = c.raw.get();
  c.cap = cap;
  c.begin = atBack ? cap - n : 0;
  c.end = c.begin + n;
  if (n != 0) std::memcpy(c.mem + c.begin, data, n);
  return c;
}

Segment::Chunk Segment::Chunk::ofOwned(Bytes &&data) {
  Chunk c;
  c.owned = std::move(data);
  c.mem = c.owned.data();
  c.cap = c.owned.size();
  c.begin = 0;
  c.end = c.cap;
  return c;
}

Segment::Segment(std::int64_t base, const Bytes &data) : Segment(base, data.data(), data.size()) {}

Segment::Segment(std::int64_t base, Bytes &&data) {
  if (base < 0) throw std::invalid_argument(messages::SEGMENT_BASE_POSITIVE);
  segBase_ = base;
  init(data.data(), data.size(), &data);
}

Segment::Segment(std::int64_t base, const OptionalBytes &data) {
  if (base < 0) throw std::invalid_argument(messages::SEGMENT_BASE_POSITIVE);
  if (!data) throw std::invalid_argument(messages::SEGMENT_WITHOUT_DATA);
  segBase_ = base;
  init(data->data(), data->size(), nullptr);
}

Segment::Segment(std::int64_t base, const std::uint8_t *data, std::size_t n) {
  if (base < 0) throw std::invalid_argument(messages::SEGMENT_BASE_POSITIVE);
  segBase_ = base;
  init(data, n, nullptr);
}

void Segment::init(const std::uint8_t *data, std::size_t n, Bytes *movable) {
  chunks_.clear();
  segLen_ = static_cast<std::int64_t>(n);
  if (n == 0) return;
  if (movable)
    chunks_.push_back(Chunk::ofOwned(std::move(*movable)));
  else
    chunks_.push_back(Chunk::ofCopy(data, n, n, false));
}

bool Segment::add(std::int64_t addr, const Bytes &data) {
  return add(addr, data.data(), data.size());
}

bool Segment::add(std::int64_t addr, const OptionalBytes &data) {
  if (addr < 0) throw std::invalid_argument(messages::ADDRESS_NOT_NEGATIVE);
  if (!data) throw std::invalid_argument(messages::DATA_NOT_NULL);
  return add(addr, data->data(), data->size());
}

bool Segment::add(std::int64_t addr, const std::uint8_t *data, std::size_t n, Bytes *movable) {
  if (addr < 0) throw std::invalid_argument(messages::ADDRESS_NOT_NEGATIVE);
  const auto len = static_cast<std::int64_t>(n);
  if (precedes(addr)) {
    append(data, n, movable);
  } else if (succeeds(addr, len)) {
    prepend(data, n);
  } else if (has(addr, len)) {
    overlay(addr, data, n, movable);
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

void Segment::append(const std::uint8_t *data, std::size_t n, Bytes *movable) {
  if (n == 0) return;
  if (movable && n >= TAKE_OVER_THRESHOLD) {
    chunks_.push_back(Chunk::ofOwned(std::move(*movable)));
    segLen_ += static_cast<std::int64_t>(n);
    return;
  }
  std::size_t done = 0;
  if (!chunks_.empty()) {
    Chunk &last = chunks_.back();
    const std::size_t room = last.cap - last.end;
    done = std::min(room, n);
    if (done != 0) {
      std::memcpy(last.mem + last.end, data, done);
      last.end += done;
    }
  }
  if (done < n) chunks_.push_back(Chunk::ofCopy(data + done, n - done, nextBlockSize(n - done), false));
  segLen_ += static_cast<std::int64_t>(n);
}

void Segment::prepend(const std::uint8_t *data, std::size_t n) {
  if (n == 0) return;
  std::size_t done = 0;
  if (!chunks_.empty()) {
    // Fill the spare room in front of the first chunk with the tail of data.
    Chunk &first = chunks_.front();
    done = std::min(first.begin, n);
    if (done != 0) {
      first.begin -= done;
      std::memcpy(first.mem + first.begin, data + (n - done), done);
    }
  }
  if (done < n) chunks_.insert(chunks_.begin(), Chunk::ofCopy(data, n - done, nextBlockSize(n - done), true));
  segBase_ -= static_cast<std::int64_t>(n);
  segLen_ += static_cast<std::int64_t>(n);
}

void Segment::writeAt(std::int64_t from, const std::uint8_t *data, std::size_t n) {
  // Walks the chunks and writes in place: no merge of the chunk list is needed.
  std::size_t skip = static_cast<std::size_t>(from);
  for (Chunk &c : chunks_) {
    if (n == 0) break;
    if (skip >= c.size()) {
      skip -= c.size();
      continue;
    }
    const std::size_t k = std::min(c.size() - skip, n);
    std::memcpy(c.data() + skip, data, k);
    data += k;
    n -= k;
    skip = 0;
  }
}

void Segment::replaceWith(std::int64_t base, const std::uint8_t *data, std::size_t n, Bytes *movable) {
  segBase_ = base;
  init(data, n, movable);
}

void Segment::overlay(std::int64_t addr, const std::uint8_t *data, std::size_t n, Bytes *movable) {
  if (addr < 0) throw std::invalid_argument(messages::ADDRESS_NOT_NEGATIVE);
  const std::int64_t len = static_cast<std::int64_t>(n);
  const std::int64_t e = segBase_ + segLen_; // one past the run
  const std::int64_t f = addr + len;         // one past the data
  if (addr <= segBase_ && e <= f) {
    // covers: the run becomes the data.
    replaceWith(addr, data, n, movable);
  } else if (segBase_ <= addr && f <= e) {
    // inside
    writeAt(addr - segBase_, data, n);
  } else if (addr < segBase_ && segBase_ < f && f < e) {
    // front: the tail of data overwrites the run's head, its head is prepended.
    const auto head = static_cast<std::size_t>(segBase_ - addr);
    writeAt(0, data + head, n - head);
    prepend(data, head);
  } else if (segBase_ < addr && addr < e && e < f) {
    // back: the head of data overwrites the run's tail, its tail is appended.
    const auto head = static_cast<std::size_t>(e - addr);
    writeAt(addr - segBase_, data, head);
    append(data + head, n - head);
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
