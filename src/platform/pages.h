// Whole pages straight from the OS, for the multi-megabyte buffers that hold images.
//
// Fresh anonymous pages arrive zeroed. Where the OS offers large pages on request, these
// blocks ask for them, so that filling a 64 MiB image costs a few dozen page faults rather
// than sixteen thousand.
#pragma once

#include <cstddef>

namespace vantrel::platform {

/// Size from which allocatePages is worth its system call; smaller blocks belong to the
/// ordinary heap.
constexpr std::size_t LARGE_BLOCK_BYTES = std::size_t{1} << 20;

/// A block of at least bytes bytes, zeroed, aligned to a page; nullptr when the OS
/// refuses. bytes must not be 0.
void *allocatePages(std::size_t bytes);

/// Returns a block from allocatePages; bytes is the size it was asked for.
void releasePages(void *block, std::size_t bytes);

} // namespace vantrel::platform
