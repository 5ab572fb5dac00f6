// Runs of bytes at 32-bit addresses: what hex-record and S-record files hold.
#pragma once

#include <cstdint>
#include <vector>

namespace vantrel::suite {

/// Contiguous bytes starting at address; address + size never exceeds 2^32.
struct Segment {
  std::uint32_t address = 0;
  std::vector<std::uint8_t> bytes;
};

} // namespace vantrel::suite
