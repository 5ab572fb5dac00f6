// The clipping, joining add rule of every image of the program.
#include "memory/ConcatinatingMemory.h"

namespace vantrel::memory {

OptionalBytes ConcatinatingMemory::addBytes(std::int64_t addr, const std::uint8_t *data, std::size_t n,
                                            Bytes *movable) {
  const auto len = static_cast<std::int64_t>(n);
  const std::int64_t inter = intersection(addr, len);
  if (inter == 0) return std::nullopt;

  std::size_t skip = 0; // bytes cut off the front
  OptionalBytes overflow;
  if (inter < len) {
    const bool frontCut = addr < base();
    if (frontCut) {
      skip = static_cast<std::size_t>(base() - addr);
      overflow = Bytes(data, data + skip);
    }
    // Data past the window's end is overflow too, unless the front was cut as well: data
    // sticking out of both ends reports nothing.
    if (static_cast<std::int64_t>(skip) + inter < len) {
      if (frontCut)
        overflow.reset();
      else
        overflow = Bytes(data + inter, data + n);
    }
    movable = nullptr; // only part of the array is stored
  }
  const std::int64_t start = addr + static_cast<std::int64_t>(skip);
  store(start - base(), data + skip, static_cast<std::size_t>(inter), movable, true);
  return overflow;
}

} // namespace vantrel::memory
