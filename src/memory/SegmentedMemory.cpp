// The segmented image: window checks, segment lookup, the plain add rule and reads.
#include "memory/SegmentedMemory.h"

#include "flashDevice/ByteArray.h"
#include "memory/MemoryMessages.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <stdexcept>

namespace vantrel::memory {

namespace {

// Window arithmetic is done in 128 bits: an address near the top of the 64-bit range plus
// a length must not wrap.
using Wide = __int128;

} // namespace

SegmentedMemory::SegmentedMemory(std::int64_t base, std::int64_t end) : memBase_(base), memEnd_(end) {
  if (base < 0 || end < 0) throw std::invalid_argument(messages::MEMORY_RANGE_POSITIVE);
  if (base >= end) throw std::invalid_argument(messages::MEMORY_SIZE_POSITIVE);
}

namespace {

/// One piece over n bytes the caller keeps: read for the length of the add, copied if kept.
detail::Chunk borrowedChunk(const std::uint8_t *data, std::size_t n) {
  detail::Chunk c;
  c.mem = const_cast<std::uint8_t *>(data);
  c.cap = c.end = n;
  return c;
}

} // namespace

OptionalBytes SegmentedMemory::add(std::int64_t addr, const std::uint8_t *data, std::size_t n) {
  detail::Chunk c = borrowedChunk(data, n);
  detail::Pieces p{&c, 1, n};
  return addPieces(addr, p);
}

OptionalBytes SegmentedMemory::add(std::int64_t addr, const Bytes &data) {
  return add(addr, data.data(), data.size());
}

OptionalBytes SegmentedMemory::add(std::int64_t addr, Bytes &&data) {
  return add(addr, Segment(0, std::move(data)));
}

OptionalBytes SegmentedMemory::add(std::int64_t addr, const OptionalBytes &data) {
  if (!data) throw std::invalid_argument(messages::CANNOT_ADD_EMPTY);
  return add(addr, data->data(), data->size());
}

OptionalBytes SegmentedMemory::add(std::int64_t addr, Segment &&run) {
  detail::Pieces p = run.pieces();
  OptionalBytes result = addPieces(addr, p);
  run.clear();
  return result;
}

OptionalBytes SegmentedMemory::add(std::int64_t addr, Block block) {
  return add(addr, Segment(0, std::move(block)));
}

OptionalBytes SegmentedMemory::addPieces(std::int64_t addr, detail::Pieces &p) {
  const auto len = static_cast<std::int64_t>(p.size);
  // Not wholly inside the window: refused, and handed back unchanged.
  if (intersection(addr, len) != len) return p.copy(0, p.size);
  // Empty data is inside any window, but a segment without bytes would hold no run.
  if (p.size != 0) store(addr - memBase_, p, false);
  return std::nullopt;
}

void SegmentedMemory::store(std::int64_t off, detail::Pieces &p, bool joinAdjacent) {
  const auto len = static_cast<std::int64_t>(p.size);
  // Segments never overlap, so they are ordered by their ends as well as their starts:
  // the first match in key order is the last segment starting before the data when it
  // reaches it, else the first segment starting at or after it.
  const std::int64_t reach = joinAdjacent ? off : off + 1; // a segment ending at reach-1 matches
  auto target = segmentMap_.end();
  auto next = segmentMap_.lower_bound(joinAdjacent ? off : off + 1);
  if (next != segmentMap_.begin()) {
    auto prev = std::prev(next);
    if (prev->second.base() + prev->second.length() >= reach) target = prev;
  }
  if (target == segmentMap_.end() && next != segmentMap_.end()) {
    const std::int64_t limit = joinAdjacent ? off + len : off + len - 1; // last start that matches
    if (next->first <= limit) target = next;
  }

  if (target == segmentMap_.end()) {
    Segment created;
    created.replaceWith(off, p);
    auto placed = segmentMap_.emplace(off, std::move(created));
    absorbOverlapped(placed.first);
    return;
  }
  if (target->first > off) {
    // The data begins before the segment: it moves down and is re-filed under its new base.
    auto node = segmentMap_.extract(target);
    if (node.mapped().base() != node.key()) throw std::runtime_error(messages::MAPPING_ERROR);
    node.mapped().add(off, p);
    node.key() = node.mapped().base();
    target = segmentMap_.insert(std::move(node)).position;
  } else {
    target->second.add(off, p);
  }
  absorbOverlapped(target);
}

void SegmentedMemory::absorbOverlapped(SegmentMap::iterator target) {
  // Data that bridged into later segments: their bytes beyond the new data join the
  // target, and they go, so no two segments ever overlap.
  Segment &seg = target->second;
  for (auto next = std::next(target); next != segmentMap_.end(); next = std::next(target)) {
    const std::int64_t endPlusOne = seg.base() + seg.length();
    if (next->first >= endPlusOne) break;
    seg.takeTail(std::move(next->second), endPlusOne - next->first);
    segmentMap_.erase(next);
  }
}

bool SegmentedMemory::copy(const Memory *other) {
  if (other == nullptr) return false;
  for (SegmentKey key : other->iterator()) {
    OptionalBytes bytes = other->get(key);
    if (bytes) add(other->getAddr(key), std::move(*bytes));
  }
  return true;
}

bool SegmentedMemory::fill(const Bytes &pattern) {
  return fill(memBase_, memEnd_ - memBase_ + 1, pattern);
}

bool SegmentedMemory::fill(std::int64_t addr, std::int64_t len, const Bytes &pattern) {
  if (addr < 0 || len < 0) throw std::invalid_argument(messages::ADDRESS_AND_LENGTH_POSITIVE);
  if (pattern.empty()) throw std::invalid_argument(messages::PATTERN_EMPTY);
  if (has(addr, len)) return false;
  // The pattern is aligned to absolute addresses that are multiples of its length.
  const auto p = static_cast<std::int64_t>(pattern.size());
  Bytes bytes(static_cast<std::size_t>(len));
  std::int64_t phase = addr % p;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    bytes[i] = pattern[static_cast<std::size_t>(phase)];
    if (++phase == p) phase = 0;
  }
  return !add(addr, std::move(bytes)).has_value();
}

SegmentedMemory::SegmentMap::const_iterator SegmentedMemory::segmentHolding(std::int64_t off) const {
  auto it = segmentMap_.upper_bound(off);
  if (it == segmentMap_.begin()) return segmentMap_.end();
  --it;
  return it->second.base() + it->second.length() > off ? it : segmentMap_.end();
}

SegmentedMemory::SegmentMap::iterator SegmentedMemory::segmentHolding(std::int64_t off) {
  auto it = segmentMap_.upper_bound(off);
  if (it == segmentMap_.begin()) return segmentMap_.end();
  --it;
  return it->second.base() + it->second.length() > off ? it : segmentMap_.end();
}

OptionalBytes SegmentedMemory::collect(SegmentMap::const_iterator it, std::int64_t off,
                                       std::int64_t len) const {
  // First measure the contiguous run (so the result is allocated once, at its size), then
  // copy it piece by piece; reads never cross a gap.
  std::int64_t size = 0;
  {
    std::int64_t pos = off;
    std::int64_t left = len;
    for (auto s = it; s != segmentMap_.end() && left > 0; ++s) {
      if (s != it && s->first != pos) break;
      const std::int64_t take = std::min(left, s->second.base() + s->second.length() - pos);
      size += take;
      pos += take;
      left -= take;
    }
  }
  if (size <= 0) return std::nullopt;
  flashDevice::ByteArray buffer(static_cast<std::size_t>(size));
  std::int64_t pos = off;
  std::int64_t left = size;
  for (auto s = it; left > 0; ++s) {
    const std::int64_t take = std::min(left, s->second.base() + s->second.length() - pos);
    s->second.visit(pos - s->second.base(), static_cast<std::size_t>(take),
                    [&buffer](const std::uint8_t *p, std::size_t k) { buffer.append(p, k); });
    pos += take;
    left -= take;
  }
  return buffer.takeBytes();
}

OptionalBytes SegmentedMemory::get(std::int64_t addr) const {
  if (addr < 0) throw std::invalid_argument(messages::ADDRESS_POSITIVE);
  return get(addr, total());
}

OptionalBytes SegmentedMemory::get(SegmentKey key) const {
  auto it = segmentMap_.find(key.value);
  if (it == segmentMap_.end()) return std::nullopt;
  return it->second.get();
}

OptionalBytes SegmentedMemory::get(std::int64_t addr, std::int64_t len) const {
  if (addr < 0 || len < 0) throw std::invalid_argument(messages::ADDRESS_AND_LENGTH_POSITIVE);
  if (len > MAX_GET_LENGTH) throw std::invalid_argument(messages::LENGTH_UNSUPPORTED);
  const std::int64_t off = addr - memBase_;
  auto it = segmentHolding(off);
  if (it == segmentMap_.end()) return std::nullopt;
  return collect(it, off, len);
}

OptionalBytes SegmentedMemory::get(SegmentKey key, std::int64_t len) const {
  if (len < 0) throw std::invalid_argument(messages::LENGTH_POSITIVE);
  if (len > MAX_GET_LENGTH) throw std::invalid_argument(messages::LENGTH_UNSUPPORTED);
  auto it = segmentMap_.find(key.value);
  if (it == segmentMap_.end()) return std::nullopt;
  return collect(it, it->first, len);
}

Segment SegmentedMemory::cutOut(SegmentMap::iterator it, std::int64_t from, std::int64_t stop) {
  Segment part = std::move(segmentMap_.extract(it).mapped());
  if (part.base() < from) {
    Segment head = std::move(part);
    part = head.splitOff(static_cast<std::size_t>(from - head.base()));
    const std::int64_t key = head.base();
    segmentMap_.emplace(key, std::move(head));
  }
  if (part.base() + part.length() > stop) {
    Segment rest = part.splitOff(static_cast<std::size_t>(stop - part.base()));
    const std::int64_t key = rest.base();
    segmentMap_.emplace(key, std::move(rest));
  }
  return part;
}

namespace {

/// from + n, or the largest offset when that lies beyond it.
std::int64_t saturatedEnd(std::int64_t from, std::int64_t n) {
  return n > INT64_MAX - from ? INT64_MAX : from + n;
}

} // namespace

Segment SegmentedMemory::take(std::int64_t addr, std::int64_t len) {
  if (addr < 0 || len < 0) throw std::invalid_argument(messages::ADDRESS_AND_LENGTH_POSITIVE);
  Segment run;
  run.segBase_ = addr;
  std::int64_t pos = addr - memBase_;
  std::int64_t left = len;
  // The first segment holds addr; each next one must begin exactly where the run ends.
  for (auto it = segmentHolding(pos); left > 0 && it != segmentMap_.end(); it = segmentMap_.find(pos)) {
    Segment piece = cutOut(it, pos, saturatedEnd(pos, left));
    pos += piece.length();
    left -= piece.length();
    run.takeTail(std::move(piece), 0);
  }
  return run;
}

std::vector<Segment> SegmentedMemory::takeRuns(std::int64_t first, std::int64_t last) {
  if (first < 0 || last < first) throw std::invalid_argument(messages::ADDRESS_AND_LENGTH_POSITIVE);
  std::vector<Segment> runs;
  // Offsets in the window; the range may reach past either end of it.
  const std::int64_t from = first - memBase_;
  const std::int64_t to = last - memBase_;
  auto it = segmentHolding(from);
  if (it == segmentMap_.end()) it = segmentMap_.lower_bound(from);
  while (it != segmentMap_.end() && it->first <= to) {
    Segment run = cutOut(it, from, saturatedEnd(to, 1));
    const std::int64_t next = run.base() + run.length();
    run.segBase_ += memBase_;
    runs.push_back(std::move(run));
    it = segmentMap_.lower_bound(next);
  }
  return runs;
}

bool SegmentedMemory::segmentStartsIn(std::int64_t first, std::int64_t last) const {
  // Addresses and the base are not negative, so these offsets cannot wrap.
  auto it = segmentMap_.lower_bound(first - memBase_);
  return it != segmentMap_.end() && it->first <= last - memBase_;
}

const Segment *SegmentedMemory::segment(SegmentKey key) const {
  auto it = segmentMap_.find(key.value);
  return it == segmentMap_.end() ? nullptr : &it->second;
}

std::int64_t SegmentedMemory::getAddr(SegmentKey key) const {
  const Segment *s = segment(key);
  if (s == nullptr || s->base() != key.value) throw std::runtime_error(messages::SEGMENT_KEY_MISMATCH);
  return memBase_ + key.value;
}

std::int64_t SegmentedMemory::getLen(SegmentKey key) const {
  const Segment *s = segment(key);
  if (s == nullptr || s->base() != key.value) throw std::runtime_error(messages::SEGMENT_KEY_MISMATCH);
  return s->length();
}

bool SegmentedMemory::has(std::int64_t addr) const {
  if (addr < 0) throw std::invalid_argument(messages::ADDRESS_POSITIVE);
  return segmentHolding(addr - memBase_) != segmentMap_.end();
}

bool SegmentedMemory::has(std::int64_t addr, std::int64_t len) const {
  if (addr < 0 || len < 0) throw std::invalid_argument(messages::ADDRESS_AND_LENGTH_POSITIVE);
  if (len == 0) return false;
  const std::int64_t off = addr - memBase_;
  // The last segment that starts inside the range or before it shares a byte with it
  // exactly when it reaches the range's start.
  auto it = segmentMap_.lower_bound(static_cast<std::int64_t>(std::min<Wide>(Wide(off) + len, INT64_MAX)));
  if (it == segmentMap_.begin()) return false;
  --it;
  return it->second.base() + it->second.length() > off;
}

std::int64_t SegmentedMemory::intersection(std::int64_t addr, std::int64_t len) const {
  if (len < 0) throw std::invalid_argument(messages::LENGTH_POSITIVE);
  const Wide last = Wide(addr) + len - 1;
  if (addr > memEnd_ || last < memBase_) return 0;
  Wide inside = len;
  if (addr < memBase_) inside -= Wide(memBase_) - addr;
  if (last > memEnd_) inside -= last - memEnd_;
  return static_cast<std::int64_t>(inside);
}

std::vector<SegmentKey> SegmentedMemory::iterator() const {
  std::vector<SegmentKey> keys;
  keys.reserve(segmentMap_.size());
  for (const auto &entry : segmentMap_)
    keys.push_back(SegmentKey{entry.first});
  return keys;
}

bool SegmentedMemory::remove(std::int64_t addr) {
  if (addr < 0) throw std::invalid_argument(messages::ADDRESS_POSITIVE);
  return segmentMap_.erase(addr - memBase_) != 0;
}

bool SegmentedMemory::remove(SegmentKey key) {
  return segmentMap_.erase(key.value) != 0;
}

bool SegmentedMemory::remove(std::int64_t addr, std::int64_t len) {
  if (addr < 0 || len < 0) throw std::invalid_argument(messages::ADDRESS_AND_LENGTH_POSITIVE);
  return false;
}

bool SegmentedMemory::remove(SegmentKey, std::int64_t len) {
  if (len < 0) throw std::invalid_argument(messages::LENGTH_POSITIVE);
  return false;
}

std::string SegmentedMemory::toString() const {
  char text[96];
  int n = std::snprintf(text, sizeof text, "base:0x%" PRIx64 " end:0x%" PRIx64,
                        static_cast<std::uint64_t>(memBase_), static_cast<std::uint64_t>(memEnd_));
  if (!isEmpty())
    n += std::snprintf(text + n, sizeof text - static_cast<std::size_t>(n), " total:0x%" PRIx64,
                       static_cast<std::uint64_t>(total()));
  return std::string(text, static_cast<std::size_t>(n));
}

std::int64_t SegmentedMemory::total() const {
  std::int64_t sum = 0;
  for (const auto &entry : segmentMap_)
    sum += entry.second.length();
  return sum;
}

bool SegmentedMemory::inAddressSpace(std::int64_t addr, std::int64_t len) const {
  if (addr < 0 || len < 0) throw std::invalid_argument(messages::ADDRESS_AND_LENGTH_POSITIVE);
  return addr >= memBase_ && Wide(addr) + len - 1 <= memEnd_;
}

} // namespace vantrel::memory
