// The clipping, joining add rule of every image of the program.
#include "memory/ConcatinatingMemory.h"

namespace vantrel::memory {

OptionalBytes ConcatinatingMemory::addPieces(std::int64_t addr, detail::Pieces &p) {
  const auto len = static_cast<std::int64_t>(p.size);
  const std::int64_t inter = intersection(addr, len);
  if (inter == 0) return std::nullopt;

  std::size_t skip = 0; // bytes cut off the front
  OptionalBytes overflow;
  if (inter < len) {
    const bool frontCut = addr < base();
    if (frontCut) {
      skip = static_cast<std::size_t>(base() - addr);
      overflow = p.copy(0, skip);
    }
    // Data past the window's end is overflow too, unless the front was cut as well: data
    // sticking out of both ends reports nothing.
    if (static_cast<std::int64_t>(skip) + inter < len) {
      if (frontCut)
        overflow.reset();
      else
        overflow = p.copy(static_cast<std::size_t>(inter), p.size - static_cast<std::size_t>(inter));
    }
    // Only the part inside the window is stored; it may still be taken over.
    p.dropFront(skip);
    p.keepFront(static_cast<std::size_t>(inter));
  }
  const std::int64_t start = addr + static_cast<std::int64_t>(skip);
  store(start - base(), p, true);
  return overflow;
}

} // namespace vantrel::memory
