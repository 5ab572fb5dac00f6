// Serial image cut and mirror, boot-image header, flash-window check.
#include "bitmorph/FlashImageBuilder.h"

#include "flashDevice/Unsigned.h"

#include <array>

namespace vantrel::bitmorph {

bool serialImageData(memory::Segment &image, std::int64_t designSize) {
  if (designSize <= 0 || designSize > image.length()) return false;
  // Each byte's mirror, looked up: an image holds millions of them.
  static const std::array<std::uint8_t, 256> mirror = [] {
    std::array<std::uint8_t, 256> table{};
    for (unsigned b = 0; b < table.size(); ++b)
      table[b] = flashDevice::Unsigned::reverseByte(static_cast<std::uint8_t>(b));
    return table;
  }();
  image.truncate(static_cast<std::size_t>(designSize));
  image.change([](std::uint8_t *p, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
      p[i] = mirror[p[i]];
  });
  return true;
}

bool writeBootImageHeader(memory::Segment &data, std::int64_t designSize) {
  if (data.length() < static_cast<std::int64_t>(BOOT_HEADER_LENGTH)) return false;
  // designSize - 1 wraps to 0xFFFFFFFF for the parallel flows, whose size is unknown (0).
  const auto sizeField = static_cast<std::uint32_t>(designSize - 1);
  const std::uint8_t header[BOOT_HEADER_LENGTH] = {0x00,
                                                   0x00,
                                                   0x00,
                                                   0x00,
                                                   0x83,
                                                   0x79,
                                                   0x73,
                                                   0x78,
                                                   static_cast<std::uint8_t>(sizeField & 0xFF),
                                                   static_cast<std::uint8_t>((sizeField >> 8) & 0xFF),
                                                   static_cast<std::uint8_t>((sizeField >> 16) & 0xFF),
                                                   static_cast<std::uint8_t>((sizeField >> 24) & 0xFF)};
  // Written over the image's own first bytes, where they lie: the image does not grow.
  data.overlay(data.base(), header, BOOT_HEADER_LENGTH);
  return true;
}

bool offsetInsideFlashWindow(std::int64_t offset) {
  return offset >= FLASH_WINDOW_BASE && offset <= FLASH_WINDOW_END;
}

} // namespace vantrel::bitmorph
