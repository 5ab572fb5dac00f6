// Reads the device part name out of a SOF and finds its family, from a file or from memory.
#pragma once

#include "bitmorph/deviceFamily.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace vantrel::bitmorph {

/// What detection found: no family (the input is not a readable SOF), or a family
/// (INVALID when the part name matches no prefix) together with the trimmed part name.
struct SofDetection {
  bool opened = false;                  ///< the file could be opened (always true in memory)
  const deviceFamily *family = nullptr; ///< nullptr: not a SOF, unreadable, or cut short
  std::string partName;                 ///< the part name, non-ASCII bytes shown as '?'
  /// Why there is no family, in words that follow the file's name ("is not a SOF file: it
  /// ends at byte 10, inside its header"); "" when a family was found.
  std::string problem;
};

/// Detects the family of SOF bytes held in memory. Never reads outside [data, data + size)
/// and never allocates more than the part-name record's bytes that are really present.
SofDetection detectSofFamily(const std::uint8_t *data, std::size_t size);

/// Detects the family of the SOF file at path, exactly as given (no quote cleaning). The
/// file is read front to back, no further than the part-name record, and always closed.
SofDetection detectSofFamilyInFile(const std::string &path);

/// The path with the quotes a shell or caller left in it removed: first every backslash +
/// double quote pair, then every backslash + apostrophe pair, then every remaining double
/// quote, then every remaining apostrophe.
std::string cleanSofPath(const std::string &path);

} // namespace vantrel::bitmorph
