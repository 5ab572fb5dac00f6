// The sparse memory image interface: an inclusive address window holding runs of bytes.
#pragma once

#include "flashDevice/Bytes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vantrel::memory {

using flashDevice::Bytes;
using flashDevice::OptionalBytes;

/// Identifies one segment of an image: its start address minus the image's base. A
/// distinct type so that operations on a segment never mix with those on an address.
struct SegmentKey {
  std::int64_t value = 0;
  friend bool operator==(SegmentKey a, SegmentKey b) { return a.value == b.value; }
};

/// A sparse byte image: an inclusive address window and non-empty runs (segments) of
/// bytes inside it. Bytes that no segment holds are unspecified. Arrays handed out are the
/// caller's; arrays passed in are copied (or, when moved in, taken over).
class Memory {
public:
  virtual ~Memory() = default;

  /// Stores data at addr by the image's add rule; returns the bytes not stored, or null.
  /// A null data array is an invalid-argument error.
  virtual OptionalBytes add(std::int64_t addr, const Bytes &data) = 0;
  /// The same, taking over data's storage where the image can.
  virtual OptionalBytes add(std::int64_t addr, Bytes &&data) = 0;
  /// The same for a byte array that may be null.
  virtual OptionalBytes add(std::int64_t addr, const OptionalBytes &data) = 0;
  /// First address of the window.
  virtual std::int64_t base() const = 0;
  /// Removes every segment.
  virtual void clear() = 0;
  /// Adds every segment of other at its address by this image's add rule; false when
  /// other is null.
  virtual bool copy(const Memory *other) = 0;
  /// Last address of the window (inclusive).
  virtual std::int64_t end() const = 0;
  /// Fills the whole window with the repeating pattern, when it holds no data.
  virtual bool fill(const Bytes &pattern) = 0;
  /// Fills addr..addr+len-1 with the pattern aligned to absolute addresses; false (and no
  /// change) when the range holds any data.
  virtual bool fill(std::int64_t addr, std::int64_t len, const Bytes &pattern) = 0;
  /// The contiguous bytes from addr up to the first gap; null when addr holds no data.
  virtual OptionalBytes get(std::int64_t addr) const = 0;
  /// A copy of the whole segment filed under key; null when there is none.
  virtual OptionalBytes get(SegmentKey key) const = 0;
  /// At most len contiguous bytes from addr, stopping at the first gap; null when none.
  virtual OptionalBytes get(std::int64_t addr, std::int64_t len) const = 0;
  /// At most len contiguous bytes from the start of the segment filed under key.
  virtual OptionalBytes get(SegmentKey key, std::int64_t len) const = 0;
  /// Start address of the segment filed under key.
  virtual std::int64_t getAddr(SegmentKey key) const = 0;
  /// Length of the segment filed under key.
  virtual std::int64_t getLen(SegmentKey key) const = 0;
  /// True when some segment holds the byte at addr.
  virtual bool has(std::int64_t addr) const = 0;
  /// True when some segment shares a byte with addr..addr+len-1.
  virtual bool has(std::int64_t addr, std::int64_t len) const = 0;
  /// How many bytes of addr..addr+len-1 lie inside the window.
  virtual std::int64_t intersection(std::int64_t addr, std::int64_t len) const = 0;
  /// True when the image holds no segment.
  virtual bool isEmpty() const = 0;
  /// The segment keys in ascending order (segments in ascending address order).
  virtual std::vector<SegmentKey> iterator() const = 0;
  /// Removes the segment that starts exactly at addr; false when none starts there.
  virtual bool remove(std::int64_t addr) = 0;
  /// Removes the segment filed under key; false when there is none.
  virtual bool remove(SegmentKey key) = 0;
  /// Partial removal is not supported: validates the arguments and returns false.
  virtual bool remove(std::int64_t addr, std::int64_t len) = 0;
  /// Partial removal is not supported: validates the length and returns false.
  virtual bool remove(SegmentKey key, std::int64_t len) = 0;
  /// "base:0x<base> end:0x<end>" and, when not empty, " total:0x<total>" (lower-case hex).
  virtual std::string toString() const = 0;
  /// Sum of the segment lengths.
  virtual std::int64_t total() const = 0;
};

} // namespace vantrel::memory
