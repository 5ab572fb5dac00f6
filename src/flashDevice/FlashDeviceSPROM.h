// Serial configuration flash: the design size found in the header of a serial image.
#pragma once

#include "flashDevice/Bytes.h"

#include <cstdint>

namespace vantrel::flashDevice {

/// Serial configuration flash device. Only the design-size probe is part of the conversion.
class FlashDeviceSPROM {
public:
  /// Bytes of a serial image that the probe looks at.
  static constexpr std::size_t HEADER_LENGTH = 1024;

  /// The design size in bytes of a serial image whose first (up to HEADER_LENGTH) bytes are header,
  /// or 0 when no size can be found. Never reads outside header: a header too short for
  /// the family code or the length fields, or a length marker too near its end, gives 0.
  static std::int64_t getDesignSize(const Bytes &header);
};

} // namespace vantrel::flashDevice
