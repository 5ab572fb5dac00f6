// Serial image cut and mirror, boot-image header, flash-window check.
#include "bitmorph/FlashImageBuilder.h"

#include "bitmorph/CauseMessages.h"
#include "flashDevice/Unsigned.h"

#include <array>
#include <cstdio>

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

std::string hexAddress(std::int64_t address) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(address));
  return text;
}

std::string flashWindowProblem(std::int64_t offset, std::uint64_t size) {
  const std::string window =
      hexAddress(FLASH_WINDOW_BASE) + messages::WINDOW_TO + hexAddress(FLASH_WINDOW_END);
  const std::string image = messages::IMAGE_OF + std::to_string(size) + messages::IMAGE_BYTES;
  if (!offsetInsideFlashWindow(offset)) {
    // A negative offset reads plainly in decimal; as hexadecimal it would look like a high address.
    const std::string at = offset < 0 ? std::to_string(offset) : hexAddress(offset);
    return image + messages::PLACED_AT + at + messages::OUTSIDE_WINDOW + window;
  }
  // Inside the window the last byte's address cannot overflow: the offset is below 2^31 and
  // an image in memory is far below 2^62 bytes.
  const auto last = static_cast<std::uint64_t>(offset) + size - 1;
  if (size == 0 || last <= static_cast<std::uint64_t>(FLASH_WINDOW_END)) return "";
  return image + messages::PLACED_AT + hexAddress(offset) + messages::WOULD_END_AT +
         hexAddress(static_cast<std::int64_t>(last)) + messages::PAST_WINDOW + window;
}

std::string serialSizeProblem(std::int64_t designSize, std::uint64_t imageSize) {
  if (designSize > 0 && static_cast<std::uint64_t>(designSize) <= imageSize) return "";
  if (designSize <= 0) return messages::SERIAL_SIZE_UNKNOWN;
  return messages::SERIAL_SIZE + std::to_string(designSize) + messages::SERIAL_SIZE_LARGER +
         std::to_string(imageSize) + messages::IMAGE_BYTES;
}

} // namespace vantrel::bitmorph
