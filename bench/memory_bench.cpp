// Benchmark driver: one pass of a memory-image pipeline per run, timed from outside by
// run-memory-bench.sh side by side with GNU objcopy doing the same job.
//
//   memory_bench flash <in.bin> <out.flash> <offset>   raw binary -> flash file at offset
//   memory_bench raw <in.flash> <out.bin>              flash file -> raw bytes
#include "memory/BinaryMemory.h"
#include "memory/FlashDataMemory.h"
#include "memory/RWMemoryException.h"
#include "memory/SrecordMemory.h"

#include <cstdio>
#include <exception>
#include <string>

using namespace vantrel::memory;

namespace {

/// Window of the conversion driver's images.
constexpr std::int64_t WINDOW_END = 0x7FFFFFFE;

int toFlash(const std::string &in, const std::string &out, std::int64_t offset) {
  // As the driver does it: the image read (or mapped) once and moved into the flash image.
  BinaryMemory binary(0, WINDOW_END, "Address Space");
  binary.read(in);
  FlashDataMemory flash(0, WINDOW_END, "SOF Flash");
  if (flash.add(offset, binary.take(0)).has_value()) {
    std::fprintf(stderr, "data does not fit the flash window\n");
    return 1;
  }
  if (!flash.write(out)) {
    std::fprintf(stderr, "cannot write %s\n", out.c_str());
    return 1;
  }
  return 0;
}

int toRaw(const std::string &in, const std::string &out) {
  SrecordMemory image(0, 0x7FFFFFFF, "in");
  image.read(in);
  const std::vector<SegmentKey> keys = image.iterator();
  if (keys.empty()) {
    std::fprintf(stderr, "no data in %s\n", in.c_str());
    return 1;
  }
  // The raw file starts at the lowest address, as objcopy's does; the segments move into
  // the raw image whole.
  BinaryMemory raw(image.getAddr(keys.front()), 0x7FFFFFFF, "out");
  for (SegmentKey key : keys) {
    const std::int64_t addr = image.getAddr(key);
    raw.add(addr, image.take(addr));
  }
  if (!raw.write(out)) {
    std::fprintf(stderr, "cannot write %s\n", out.c_str());
    return 1;
  }
  return 0;
}

} // namespace

int main(int argc, char **argv) {
  try {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "flash" && argc == 5) return toFlash(argv[2], argv[3], std::stoll(argv[4], nullptr, 0));
    if (mode == "raw" && argc == 4) return toRaw(argv[2], argv[3]);
    std::fprintf(stderr, "usage: memory_bench flash <in.bin> <out.flash> <offset>\n"
                         "       memory_bench raw <in.flash> <out.bin>\n");
    return 2;
  } catch (const RWMemoryException &e) {
    std::fprintf(stderr, "read error: %s\n", e.what());
  } catch (const std::exception &e) {
    std::fprintf(stderr, "error: %s\n", e.what());
  }
  return 1;
}
