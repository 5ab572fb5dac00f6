// A sparse memory image: an inclusive address window and its segments in address order.
#pragma once

#include "memory/Memory.h"
#include "memory/Segment.h"

#include <map>

namespace vantrel::memory {

/// A memory image whose segments are filed by key (start address minus base) in ascending
/// order. Its own add rule stores data only when it lies wholly inside the window and
/// joins it only to segments it overlaps; ConcatinatingMemory refines that rule.
///
/// Whatever the rule, data that overlaps more than one segment merges them, so an image
/// never holds overlapping segments (segments may touch).
///
/// Besides the copying add and get of the design, images hand runs to one another without
/// a copy: take moves bytes out of an image as a run, and add of a run (or of a Block)
/// stores it by the same add rule, taking its storage over.
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
  /// add of a copy of n bytes at data.
  OptionalBytes add(std::int64_t addr, const std::uint8_t *data, std::size_t n);
  /// add of a run's bytes at addr (its own base is not looked at), taking its storage over
  /// without a copy wherever the add rule keeps the bytes; run is left empty. The result is
  /// that of add: the bytes not stored, or null.
  OptionalBytes add(std::int64_t addr, Segment &&run);
  /// add of a block's bytes at addr, held without a copy until the image lets go of them.
  OptionalBytes add(std::int64_t addr, Block block);
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
  /// Moves out the bytes get(addr, len) would copy: the contiguous bytes from addr, at most
  /// len of them, up to the first gap. They come as one run whose base() is addr (length 0
  /// when addr holds no byte); the image keeps what lies before and after them. Negative
  /// addr or len: "Address and Length must be positive".
  Segment take(std::int64_t addr, std::int64_t len);
  /// take(addr, total()): the whole contiguous run from addr.
  Segment take(std::int64_t addr) { return take(addr, total()); }
  /// Moves out every byte held in the inclusive range first..last: one run for the part of
  /// each segment inside the range, in ascending address order, each run's base() its
  /// address, so gaps stay gaps (and touching segments stay apart). Empty when the range
  /// holds no byte. A negative bound, or last before first: "Address and Length must be
  /// positive".
  std::vector<Segment> takeRuns(std::int64_t first, std::int64_t last);
  /// True when some segment begins at an address in first..last (for readers that add
  /// many records as one run only where that changes nothing).
  bool segmentStartsIn(std::int64_t first, std::int64_t last) const;
  /// The segment filed under key, or nullptr; for writers that walk its chunks in place.
  const Segment *segment(SegmentKey key) const;

protected:
  /// The add rule, for the bytes of p at addr; pieces with a keeper may be taken over.
  virtual OptionalBytes addPieces(std::int64_t addr, detail::Pieces &p);
  /// Stores the bytes of p at window offset off (wholly inside the window) into the first
  /// segment that overlaps them or, when joinAdjacent, touches them; else a new segment.
  void store(std::int64_t off, detail::Pieces &p, bool joinAdjacent);

private:
  using SegmentMap = std::map<std::int64_t, Segment>;
  SegmentMap::const_iterator segmentHolding(std::int64_t off) const;
  SegmentMap::iterator segmentHolding(std::int64_t off);
  OptionalBytes collect(SegmentMap::const_iterator it, std::int64_t off, std::int64_t len) const;
  void absorbOverlapped(SegmentMap::iterator target);
  /// Takes the segment at it out and returns its bytes at offsets from..stop-1; the parts
  /// before and after them stay, as segments of their own.
  Segment cutOut(SegmentMap::iterator it, std::int64_t from, std::int64_t stop);

  SegmentMap segmentMap_;
  std::int64_t memBase_;
  std::int64_t memEnd_;
};

} // namespace vantrel::memory
