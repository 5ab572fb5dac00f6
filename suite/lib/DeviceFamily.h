// The device families the converter knows: part-name prefixes, serial support, boot area
// and the family code and length layout that each family's serial bitstream header uses.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vantrel::suite {

/// How a family's bitstream header states the image length in bits.
enum class LengthLayout {
  /// Scattered: bits 31..25 in bit 3 of bytes 33..39, bits 24..0 in bit 2 of bytes 48..72.
  Scattered,
  /// After the 0x6A sync byte at p: a 32-bit count at p+5..p+8, least significant first.
  AfterSync,
};

/// One row of the family table.
struct DeviceFamily {
  const char *name;        ///< e.g. "RAVELLE_III"
  const char *prefix;      ///< part-name prefix, e.g. "KX3R"
  bool serialAllowed;      ///< serial configuration devices supported
  bool bootArea;           ///< newer family: its images carry a boot-image header area
  std::uint8_t familyCode; ///< the code carried in bit 1 of header bytes 52..59
  LengthLayout layout;     ///< where the header states the length
};

/// The family whose prefix the part name starts with, tested in table order (so a
/// "KX4RGX" part is found as RAVELLE_IV, which is treated the same); the last family's
/// prefix ("10M") is matched against the upper-cased name. Leading and trailing blanks and
/// control characters are trimmed first. nullptr when no prefix matches.
const DeviceFamily *findFamily(std::string_view partName);

/// The number of families in the table.
int familyCount();

/// The family at index i (0 <= i < familyCount()), in table order.
const DeviceFamily &familyAt(int i);

/// The text with leading and trailing characters at or below U+0020 removed.
std::string trimControl(std::string_view text);

} // namespace vantrel::suite
