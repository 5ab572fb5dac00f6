// Serial device capacities and the option-bit block.
#include "FlashLayout.h"

#include "ByteOrder.h"

namespace vantrel::suite {

std::optional<std::uint64_t> serialDeviceCapacity(std::string_view device) {
  if (device == "SPROM128" || device == "QPROM128") return 128u * 1024u * 1024u / 8u;
  if (device == "QPROM256") return 256u * 1024u * 1024u / 8u;
  return std::nullopt;
}

std::vector<std::uint8_t> buildOptionBits(std::uint32_t pageStart, std::uint32_t pageLast,
                                          std::uint32_t imageCrc, std::uint32_t modeCode, bool compressed) {
  std::vector<std::uint8_t> block;
  appendLe32(block, pageStart);
  appendLe32(block, pageLast);
  appendLe32(block, imageCrc);
  block.push_back(static_cast<std::uint8_t>(modeCode));
  block.push_back(compressed ? 1 : 0);
  block.resize(OPTION_BITS_SIZE, 0xFF);
  return block;
}

} // namespace vantrel::suite
