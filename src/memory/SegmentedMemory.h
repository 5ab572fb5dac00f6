// A sparse memory image: an inclusive address window and its segments in address order.
#pragma once

#include "memory/Memory.h"
#include "memory/Segment.h"

#include <map>

namespace vantrel::memory {

/// One run of bytes an image holds, with the address of its first byte.
struct AddressedBytes {
  std::int64_t addr = 0;
  Bytes bytes;
};

/// A memory image whose segments are filed by key (start address minus base) in ascending
/// order. Its own add rule stores data only when it lies wholly inside the window and
/// joins it only to segments it overlaps; ConcatinatingMemory refines that rule.
///
/// Whatever the rule, data that overlaps more than one segment merges them, so an image
/// never holds overlapping segments (segments may touch).
class SegmentedMemory : public virtual Memory {
public:
  /// Largest length a get hands out.
  static constexpr std::int64_t MAX_GET_LENGTH = 2147483647;

  /// An empty image with window base..end (both inclusive). Negative bounds: "Memory range
  /// must be positive"; base >= end: "Memory size must be positive".
  SegmentedMemory(std::int64_t base, std::int64_t end);

  OptionalBytes add(std::int64_t addr, const Bytes &data) override;
  OptionalBytes add(std::int64_t addr, Bytes &&data) override;
  OptionalBytes add(std::int64_t addr, const OptionalBytes &data) override;
  /// add of n bytes at data; the common entry of every add form.
  OptionalBytes add(std::int64_t addr, const std::uint8_t *data, std::size_t n) {
    return addBytes(addr, data, n, nullptr);
  }
  std::int64_t base() const override { return memBase_; }
  void clear() override { segmentMap_.clear(); }
  bool copy(const Memory *other) override;
  std::int64_t end() const override { return memEnd_; }
  bool fill(const Bytes &pattern) override;
  bool fill(std::int64_t addr, std::int64_t len, const Bytes &pattern) override;
  OptionalBytes get(std::int64_t addr) const override;
  OptionalBytes get(SegmentKey key) const override;
  OptionalBytes get(std::int64_t addr, std::int64_t len) const override;
  OptionalBytes get(SegmentKey key, std::int64_t len) const override;
  std::int64_t getAddr(SegmentKey key) const override;
  std::int64_t getLen(SegmentKey key) const override;
  bool has(std::int64_t addr) const override;
  bool has(std::int64_t addr, std::int64_t len) const override;
  std::int64_t intersection(std::int64_t addr, std::int64_t len) const override;
  bool isEmpty() const override { return segmentMap_.empty(); }
  std::vector<SegmentKey> iterator() const override;
  bool remove(std::int64_t addr) override;
  bool remove(SegmentKey key) override;
  bool remove(std::int64_t addr, std::int64_t len) override;
  bool remove(SegmentKey key, std::int64_t len) override;
  std::string toString() const override;
  std::int64_t total() const override;

  /// True when addr..addr+len-1 lies wholly inside the window.
  bool inAddressSpace(std::int64_t addr, std::int64_t len) const;
  /// Number of segments.
  std::size_t getNumSegments() const { return segmentMap_.size(); }
  /// Every byte held in the inclusive range first..last: one run for the part of each
  /// segment inside the range, in ascending address order, so gaps stay gaps (and touching
  /// segments stay apart). Empty when the range holds no byte. A negative bound, or last
  /// before first: "Address and Length must be positive".
  std::vector<AddressedBytes> getRuns(std::int64_t first, std::int64_t last) const;
  /// The segment filed under key, or nullptr; for writers that walk its chunks in place.
  const Segment *segment(SegmentKey key) const;

protected:
  /// The add rule; data holds n bytes, and movable, when given, holds the same bytes and
  /// may be taken over.
  virtual OptionalBytes addBytes(std::int64_t addr, const std::uint8_t *data, std::size_t n, Bytes *movable);
  /// Stores n bytes at window offset off (wholly inside the window) into the first
  /// segment that overlaps them or, when joinAdjacent, touches them; else a new segment.
  void store(std::int64_t off, const std::uint8_t *data, std::size_t n, Bytes *movable, bool joinAdjacent);

private:
  using SegmentMap = std::map<std::int64_t, Segment>;
  SegmentMap::const_iterator segmentHolding(std::int64_t off) const;
  OptionalBytes collect(SegmentMap::const_iterator it, std::int64_t off, std::int64_t len) const;
  void absorbOverlapped(SegmentMap::iterator target);

  SegmentMap segmentMap_;
  std::int64_t memBase_;
  std::int64_t memEnd_;
};

} // namespace vantrel::memory
