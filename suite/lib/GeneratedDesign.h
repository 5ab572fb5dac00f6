// Made-up configuration data that look like a real device's: addressed frames, mostly
// empty, with the repeating patterns that placed logic and routing leave behind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vantrel::suite {

/// Bytes per configuration frame.
constexpr std::size_t FRAME_SIZE = 64;

/// size bytes of configuration data, the same for the same size and seed. Each 64-byte
/// frame starts with its 16-bit index and ends with the 16-bit sum of its other bytes
/// (least significant byte first); the first frames carry logic, the rest are empty.
std::vector<std::uint8_t> generateConfigData(std::size_t size, std::uint32_t seed);

} // namespace vantrel::suite
