// Memory-map text: a title line, an empty line, then one line per range giving its name,
// first and last (inclusive) address, separated by tabs, addresses as 0x%08X.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vantrel::suite {

/// One named address range; last is the last address held (inclusive).
struct MapRange {
  std::string name;
  std::uint32_t first = 0;
  std::uint32_t last = 0;
};

/// The map text with "\n" line ends.
std::string writeMemoryMap(const std::string &title, const std::vector<MapRange> &ranges);

/// Name of the option-bit range in loader maps.
inline constexpr char MAP_OPTION_BITS[] = "OPTION BITS";

} // namespace vantrel::suite
