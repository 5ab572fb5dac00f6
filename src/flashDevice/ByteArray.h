// Growable byte buffer that assembles the bytes of a read that crosses segments.
#pragma once

#include "flashDevice/Bytes.h"

#include <cstddef>
#include <cstdint>

namespace vantrel::flashDevice {

/// A growable byte buffer. Its capacity grows by a fixed rule: by roughly doubling while
/// small and in steps of GROWTH_LIMIT bytes once large, so a buffer that is sized up front
/// (the usual case) never grows at all.
class ByteArray {
public:
  /// Capacity of a buffer created without a size.
  static constexpr std::int32_t INITIAL_SIZE = 16;
  /// Largest growth step.
  static constexpr std::int32_t GROWTH_LIMIT = 1024;

  /// An empty buffer with capacity INITIAL_SIZE.
  ByteArray();
  /// An empty buffer with capacity exactly n.
  explicit ByteArray(std::size_t n);

  /// Adds bytes at the end, growing the capacity when they do not fit.
  void append(const Bytes &bytes);
  /// Adds n bytes from data at the end.
  void append(const std::uint8_t *data, std::size_t n);
  /// Number of bytes held.
  std::size_t length() const { return count_; }
  /// Current capacity in bytes.
  std::size_t capacity() const { return capacity_; }
  /// A new array with the bytes held.
  Bytes getBytes() const;
  /// The bytes held, handed over without a copy when possible; the buffer is empty after.
  Bytes takeBytes();

private:
  void grow(std::size_t needed);

  // data_ holds pos_ unused bytes and then the count_ bytes held; its reserved storage is
  // capacity_ bytes, so appends within the capacity never move the held bytes.
  Bytes data_;
  std::size_t capacity_;
  std::size_t count_ = 0;
  std::size_t pos_ = 0;
};

} // namespace vantrel::flashDevice
