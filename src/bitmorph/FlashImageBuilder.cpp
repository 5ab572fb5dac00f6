// Serial image cut and mirror, boot-image header, flash-window check.
#include "bitmorph/FlashImageBuilder.h"

#include "flashDevice/Unsigned.h"

namespace vantrel::bitmorph {

std::optional<flashDevice::Bytes> serialImageData(const flashDevice::Bytes &image, std::int64_t designSize) {
  if (designSize <= 0 || static_cast<std::uint64_t>(designSize) > image.size()) {
    return std::nullopt;
  }
  flashDevice::Bytes data(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(designSize));
  for (auto &b : data)
    b = flashDevice::Unsigned::reverseByte(b);
  return data;
}

bool writeBootImageHeader(flashDevice::Bytes &data, std::int64_t designSize) {
  if (data.size() < BOOT_HEADER_LENGTH) return false;
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
  for (std::size_t i = 0; i < BOOT_HEADER_LENGTH; ++i)
    data[i] = header[i];
  return true;
}

bool offsetInsideFlashWindow(std::int64_t offset) {
  return offset >= FLASH_WINDOW_BASE && offset <= FLASH_WINDOW_END;
}

} // namespace vantrel::bitmorph
