// The byte-array types every image uses: a byte array, and a byte array that may be null.
#pragma once

#include "platform/pages.h"

#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <vector>

namespace vantrel::flashDevice {

/// Allocator of byte arrays: multi-megabyte arrays (whole images) take their pages straight
/// from the OS, which can hand them out in large pages; everything smaller comes from the
/// ordinary heap.
template <typename T> struct ByteAllocator {
  using value_type = T;

  ByteAllocator() noexcept = default;
  template <typename U> ByteAllocator(const ByteAllocator<U> &) noexcept {}

  T *allocate(std::size_t n) {
    if (n >= platform::LARGE_BLOCK_BYTES / sizeof(T)) {
      if (n > SIZE_MAX / sizeof(T)) throw std::bad_array_new_length();
      if (void *block = platform::allocatePages(n * sizeof(T))) return static_cast<T *>(block);
      throw std::bad_alloc();
    }
    return std::allocator<T>().allocate(n);
  }

  void deallocate(T *p, std::size_t n) noexcept {
    if (n >= platform::LARGE_BLOCK_BYTES / sizeof(T))
      platform::releasePages(p, n * sizeof(T));
    else
      std::allocator<T>().deallocate(p, n);
  }

  template <typename U> bool operator==(const ByteAllocator<U> &) const noexcept { return true; }
};

/// A sequence of bytes, owned by value.
using Bytes = std::vector<std::uint8_t, ByteAllocator<std::uint8_t>>;

/// A byte array or null: std::nullopt is null and stays distinct from an empty array.
using OptionalBytes = std::optional<Bytes>;

} // namespace vantrel::flashDevice
