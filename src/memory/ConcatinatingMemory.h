// The image add rule every image uses: clip to the window, replace, join adjacent data.
#pragma once

#include "memory/SegmentedMemory.h"

namespace vantrel::memory {

/// A segmented image whose add clips data to the window, lets new bytes replace old ones
/// and joins data to a segment it overlaps or touches at either end.
///
/// add returns null when everything was stored, when nothing lay inside the window, or
/// when the data stuck out of both ends of the window; otherwise the bytes that stuck out
/// of the one end.
class ConcatinatingMemory : public SegmentedMemory {
public:
  /// An empty image with window base..end (inclusive).
  ConcatinatingMemory(std::int64_t base, std::int64_t end) : SegmentedMemory(base, end) {}

protected:
  OptionalBytes addPieces(std::int64_t addr, detail::Pieces &p) override;
};

} // namespace vantrel::memory
