// Memory-map writer.
#include "MemoryMap.h"

#include "NumberText.h"

namespace vantrel::suite {

std::string writeMemoryMap(const std::string &title, const std::vector<MapRange> &ranges) {
  std::string out = title + "\n\n";
  for (const MapRange &r : ranges)
    out += r.name + "\t" + hex8(r.first) + "\t" + hex8(r.last) + "\n";
  return out;
}

} // namespace vantrel::suite
