// One contiguous run of bytes of an image, held as a list of chunks laid end to end.
#pragma once

#include "flashDevice/Bytes.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace vantrel::memory {

using flashDevice::Bytes;
using flashDevice::OptionalBytes;

/// Storage handed to an image without a copy: size bytes at data, kept alive by keeper,
/// which releases them (frees a block, ends a file view) when the last image holding any
/// of them lets go. The image may write into those bytes in place; it never writes outside
/// them.
struct Block {
  std::shared_ptr<void> keeper;
  std::uint8_t *data = nullptr;
  std::size_t size = 0;
};

/// An uninitialised block of bytes bytes from the byte-array allocator (pages straight from
/// the OS when large), for a reader to fill in place before it hands the block over.
Block allocateBlock(std::size_t bytes);

class Segment;

namespace detail {

/// One piece of a run: the bytes [begin, end) of a room of cap bytes at mem, which this
/// piece alone may use (it grows into the spare room at either end). keeper, when set,
/// owns the storage; a piece without one borrows bytes for the length of a single call
/// and is copied if they are kept.
struct Chunk {
  std::shared_ptr<void> keeper;
  std::uint8_t *mem = nullptr;
  std::size_t cap = 0;
  std::size_t begin = 0;
  std::size_t end = 0;
  std::uint8_t *data() const { return mem + begin; }
  std::size_t size() const { return end - begin; }
};

/// Pieces laid end to end that an add stores, in the caller's order: count chunks from
/// first, size bytes in all. Pieces with a keeper may be taken over by the image; the add
/// consumes them either way.
struct Pieces {
  Chunk *first = nullptr;
  std::size_t count = 0;
  std::size_t size = 0;
  /// Drops the first n bytes.
  void dropFront(std::size_t n);
  /// Keeps only the first n bytes.
  void keepFront(std::size_t n);
  /// A copy of bytes [from, from + n).
  Bytes copy(std::size_t from, std::size_t n) const;
};

} // namespace detail

/// A contiguous run of bytes at an offset of its owning image.
///
/// The bytes live in chunks laid end to end. A chunk is a block with spare room at its
/// back (and, for prepended data, at its front): appending or prepending fills that room
/// or adds a new chunk, and never moves bytes already held. Blocks grow with the run (up
/// to MAX_BLOCK bytes), so a run assembled from millions of short records sits in a
/// handful of large blocks. Writes into held bytes happen in place, chunk by chunk.
///
/// A chunk may also be a block the run does not own: bytes handed over by a reader, a
/// view of a file, a block taken out of another image. Its keeper releases it once no run
/// holds it. Runs move between images whole (SegmentedMemory::take and add), never copied.
class Segment {
public:
  /// Largest block allocated for appended or prepended bytes.
  static constexpr std::size_t MAX_BLOCK = std::size_t{8} << 20;

  /// An empty run at base 0 (a run taken from an image where there was nothing).
  Segment() = default;
  /// A run of a copy of data at base.
  Segment(std::int64_t base, const Bytes &data);
  /// A run that takes over data's storage.
  Segment(std::int64_t base, Bytes &&data);
  /// A run from a byte array that may be null (null is an invalid-argument error).
  Segment(std::int64_t base, const OptionalBytes &data);
  /// A run of a copy of n bytes at data.
  Segment(std::int64_t base, const std::uint8_t *data, std::size_t n);
  /// A run of the block's bytes, held without a copy.
  Segment(std::int64_t base, Block block);

  Segment(Segment &&) noexcept = default;
  Segment &operator=(Segment &&) noexcept = default;
  Segment(const Segment &) = delete;
  Segment &operator=(const Segment &) = delete;

  /// Joins or overlays data: appends when the run ends right before addr, prepends when it
  /// begins right after the data, overlays when they overlap; false (nothing changed) when
  /// data neither touches nor overlaps the run.
  bool add(std::int64_t addr, const Bytes &data);
  /// add for a byte array that may be null (null is an invalid-argument error).
  bool add(std::int64_t addr, const OptionalBytes &data);
  /// add of n bytes at data.
  bool add(std::int64_t addr, const std::uint8_t *data, std::size_t n);

  /// Adds a copy of data at the end.
  void append(const Bytes &data) { append(data.data(), data.size()); }
  void append(const std::uint8_t *data, std::size_t n);
  /// Adds a copy of data at the front; the run's base moves down by its length.
  void prepend(const Bytes &data) { prepend(data.data(), data.size()); }
  void prepend(const std::uint8_t *data, std::size_t n);
  /// Writes data over the run where they overlap, extending the run where data reaches
  /// beyond it; new bytes replace old ones.
  void overlay(std::int64_t addr, const Bytes &data) { overlay(addr, data.data(), data.size()); }
  void overlay(std::int64_t addr, const std::uint8_t *data, std::size_t n);

  /// True when the run ends right before addr.
  bool precedes(std::int64_t addr) const;
  /// True when the run begins right after addr..addr+len-1.
  bool succeeds(std::int64_t addr, std::int64_t len) const;
  /// True when the run holds offset addr.
  bool has(std::int64_t addr) const { return has(addr, 1); }
  /// True when the run and addr..addr+len-1 share an offset.
  bool has(std::int64_t addr, std::int64_t len) const;

  /// A copy of the whole run.
  OptionalBytes get() const { return get(segBase_, segLen_); }
  /// A copy of at most len bytes from the run's start.
  OptionalBytes get(std::int64_t len) const { return get(segBase_, len); }
  /// A copy of at most len bytes from addr (not below the base), cut at the run's end;
  /// null when addr lies at or past the end.
  OptionalBytes get(std::int64_t addr, std::int64_t len) const;
  /// Calls visit(pointer, count) for each piece of the n bytes that start at offset `from`
  /// within the run (from 0 = first byte), in order, without copying them.
  template <typename Visitor> void visit(std::int64_t from, std::size_t n, Visitor &&visitor) const {
    std::size_t skip = static_cast<std::size_t>(from);
    for (const detail::Chunk &c : chunks_) {
      if (n == 0) break;
      if (skip >= c.size()) {
        skip -= c.size();
        continue;
      }
      const std::size_t k = c.size() - skip < n ? c.size() - skip : n;
      visitor(static_cast<const std::uint8_t *>(c.data() + skip), k);
      n -= k;
      skip = 0;
    }
  }
  /// Calls change(pointer, count) for each piece of the whole run, in order, so that the
  /// bytes can be rewritten where they are.
  template <typename Changer> void change(Changer &&changer) {
    for (detail::Chunk &c : chunks_)
      changer(c.data(), c.size());
  }
  /// Keeps the first n bytes and lets go of the rest (n at most the length).
  void truncate(std::size_t n);

  /// Offset of the first byte.
  std::int64_t base() const { return segBase_; }
  /// Offset of the last byte, or -1 when empty.
  std::int64_t end() const { return segLen_ == 0 ? -1 : segBase_ + segLen_ - 1; }
  /// Number of bytes.
  std::int64_t length() const { return segLen_; }
  /// Drops every chunk; the length becomes 0.
  void clear();

  /// Chunks, for writers and tests that walk the bytes in place.
  std::size_t chunkCount() const { return chunks_.size(); }
  const std::uint8_t *chunkData(std::size_t i) const { return chunks_[i].data(); }
  std::size_t chunkSize(std::size_t i) const { return chunks_[i].size(); }

private:
  friend class SegmentedMemory;

  /// The run's chunks as pieces for another run's add, which takes them over.
  detail::Pieces pieces();
  /// Joins or overlays the pieces (add above); false when they neither touch nor overlap.
  bool add(std::int64_t addr, detail::Pieces &p);
  void append(detail::Pieces &p);
  void prepend(detail::Pieces &p);
  void overlay(std::int64_t addr, detail::Pieces &p);
  /// The run becomes the pieces, at base.
  void replaceWith(std::int64_t base, detail::Pieces &p);
  /// Writes the pieces' bytes [pFrom, pFrom + n) over the run's bytes from offset `from` on.
  void writeAt(std::int64_t from, const detail::Pieces &p, std::size_t pFrom, std::size_t n);
  /// Moves the bytes of other from offset `from` of other to the end of this run, taking
  /// over other's chunks without copying them; other is left empty.
  void takeTail(Segment &&other, std::int64_t from);
  /// Splits the run before its byte `at` (0 < at < length): this run keeps the bytes
  /// before it, the bytes from it on are returned, with base() at base() + at. Chunks cut
  /// in two stay one block shared by both halves, each half using only its own part.
  Segment splitOff(std::size_t at);

  std::size_t nextBlockSize(std::size_t n) const;
  /// A fresh chunk of room bytes holding a copy of the pieces' bytes [from, from + n),
  /// placed at the room's back (atBack) or front.
  static detail::Chunk copyChunk(const detail::Pieces &p, std::size_t from, std::size_t n, std::size_t room,
                                 bool atBack);

  std::int64_t segBase_ = 0;
  std::int64_t segLen_ = 0;
  std::vector<detail::Chunk> chunks_;
};

} // namespace vantrel::memory
