// The pieces of the flash image that do not depend on files: the serial image cut and
// mirror, the boot-image header and the placement checks.
#pragma once

#include "memory/Segment.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace vantrel::bitmorph {

/// First and last address of the flash image the driver builds (inclusive window).
inline constexpr std::int64_t FLASH_WINDOW_BASE = 0;
inline constexpr std::int64_t FLASH_WINDOW_END = 0x7FFFFFFE;

/// Length of the boot-image header written over the start of a newer family's image.
inline constexpr std::size_t BOOT_HEADER_LENGTH = 12;

/// Cuts a serial image to its first designSize bytes and bit-mirrors each of them where it
/// lies (the configuration device shifts bytes out least significant bit first). False,
/// with the image unchanged, when designSize is not positive or the image holds fewer
/// bytes than that.
bool serialImageData(memory::Segment &image, std::int64_t designSize);

/// Writes the boot-image header over data bytes 0-11: four zero bytes, 0x83 0x79 0x73
/// 0x78, then (designSize - 1) as an unsigned 32-bit value, least significant byte first
/// (designSize 0 gives 0xFF 0xFF 0xFF 0xFF). False, with data unchanged, when data holds
/// fewer than 12 bytes.
bool writeBootImageHeader(memory::Segment &data, std::int64_t designSize);

/// True when data placed at offset starts inside the flash window: a negative offset, or
/// one beyond the window's last address, would leave a flash file without the design.
bool offsetInsideFlashWindow(std::int64_t offset);

/// Why size bytes placed at offset do not lie wholly inside the flash window, naming the
/// offset, the size and the address the data would end at; "" when they fit.
std::string flashWindowProblem(std::int64_t offset, std::uint64_t size);

/// Why a serial image of imageSize bytes cannot give the designSize bytes its header or
/// map states; "" when it can (designSize positive and within the image).
std::string serialSizeProblem(std::int64_t designSize, std::uint64_t imageSize);

/// An address as "0x" and upper-case hexadecimal digits, as messages show addresses.
std::string hexAddress(std::int64_t address);

} // namespace vantrel::bitmorph
