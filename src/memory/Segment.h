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

/// A contiguous run of bytes at an offset of its owning image.
///
/// The bytes live in chunks laid end to end. A chunk is a block with spare room at its
/// back (and, for prepended data, at its front): appending or prepending fills that room
/// or adds a new chunk, and never moves bytes already held. Blocks grow with the run (up
/// to MAX_BLOCK bytes), so a run assembled from millions of short records sits in a
/// handful of large blocks. Writes into held bytes happen in place, chunk by chunk.
class Segment {
public:
  /// Largest block allocated for appended or prepended bytes.
  static constexpr std::size_t MAX_BLOCK = std::size_t{8} << 20;

  /// A run of a copy of data at base.
  Segment(std::int64_t base, const Bytes &data);
  /// A run that takes over data's storage.
  Segment(std::int64_t base, Bytes &&data);
  /// A run from a byte array that may be null (null is an invalid-argument error).
  Segment(std::int64_t base, const OptionalBytes &data);
  /// A run of a copy of n bytes at data.
  Segment(std::int64_t base, const std::uint8_t *data, std::size_t n);

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
  /// add of n bytes at data; movable, when given, holds the same bytes and may be taken.
  bool add(std::int64_t addr, const std::uint8_t *data, std::size_t n, Bytes *movable = nullptr);

  /// Adds a copy of data at the end.
  void append(const Bytes &data) { append(data.data(), data.size()); }
  void append(const std::uint8_t *data, std::size_t n, Bytes *movable = nullptr);
  /// Adds a copy of data at the front; the run's base moves down by its length.
  void prepend(const Bytes &data) { prepend(data.data(), data.size()); }
  void prepend(const std::uint8_t *data, std::size_t n);
  /// Writes data over the run where they overlap, extending the run where data reaches
  /// beyond it; new bytes replace old ones.
  void overlay(std::int64_t addr, const Bytes &data) { overlay(addr, data.data(), data.size()); }
  void overlay(std::int64_t addr, const std::uint8_t *data, std::size_t n, Bytes *movable = nullptr);
  /// Moves the bytes of other from offset `from` of other to the end of this run, taking
  /// over other's chunks without copying them; other is left empty.
  void takeTail(Segment &&other, std::int64_t from);

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
    for (const Chunk &c : chunks_) {
      if (n == 0) break;
      if (skip >= c.size()) {
        skip -= c.size();
        continue;
      }
      const std::size_t k = c.size() - skip < n ? c.size() - skip : n;
      visitor(c.data() + skip, k);
      n -= k;
      skip = 0;
    }
  }

  /// Offset of the first byte.
  std::int64_t base() const { return segBase_; }
  /// Offset of the last byte, or -1 when empty.
  std::int64_t end() const { return segLen_ == 0 ? -1 : segBase_ + segLen_ - 1; }
  /// Number of bytes.
  std::int64_t length() const { return segLen_; }
  /// Drops every chunk; the length becomes 0.
  void clear();

  /// Chunks, for writers that walk the bytes in place.
  std::size_t chunkCount() const { return chunks_.size(); }
  const std::uint8_t *chunkData(std::size_t i) const { return chunks_[i].data(); }
  std::size_t chunkSize(std::size_t i) const { return chunks_[i].size(); }

private:
  /// Returns a raw block to the byte-array allocator it came from.
  struct BlockDeleter {
    std::size_t bytes; // value-initialised (0) in an empty Block
    void operator()(std::uint8_t *block) const noexcept;
  };
  using Block = std::unique_ptr<std::uint8_t[], BlockDeleter>;
  /// An uninitialised block of bytes bytes from the byte-array allocator (pages straight
  /// from the OS when large): its spare room is never read.
  static Block allocateBlock(std::size_t bytes);

  // One block of storage with the bytes held at [begin, end). Storage is either a taken-
  // over byte array or a raw block whose spare room is left uninitialised.
  struct Chunk {
    Bytes owned;
    Block raw;
    std::uint8_t *mem = nullptr;
    std::size_t cap = 0;
    std::size_t begin = 0;
    std::size_t end = 0;
    std::uint8_t *data() { return mem + begin; }
    const std::uint8_t *data() const { return mem + begin; }
    std::size_t size() const { return end - begin; }
    static Chunk ofCopy(const std::uint8_t *data, std::size_t n, std::size_t cap, bool atBack);
    static Chunk ofOwned(Bytes &&data);
  };

  void init(const std::uint8_t *data, std::size_t n, Bytes *movable);
  std::size_t nextBlockSize(std::size_t n) const;
  void writeAt(std::int64_t from, const std::uint8_t *data, std::size_t n);
  void replaceWith(std::int64_t base, const std::uint8_t *data, std::size_t n, Bytes *movable);

  std::int64_t segBase_ = 0;
  std::int64_t segLen_ = 0;
  std::vector<Chunk> chunks_;
};

} // namespace vantrel::memory
