// Conversion descriptions (.cof): what the converter takes from the XML text.
//
// The root element is cof. Read are: eprom_name (flash device, "CFI_<n>MB" or
// "CFI_<n>GB" in megabits or gigabits), output_filename (.rbf for a raw image, .pof for a
// programming object file), n_pages (must be 1), width (must be 1), mode (programming-mode
// code: 0 passive serial, 6 fast passive parallel, 8 active parallel), sof_data with
// bit0/sof_filename and optionally start_address and user_name (the page name, default
// "Page_0"), and options with optionally map_file (1 asks for a memory map) and
// option_start_address. Other elements are ignored. Numbers follow NumberText.h; element
// texts are taken without surrounding blanks.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "Result.h"

namespace vantrel::suite {

/// One conversion description.
struct CofDescription {
  std::string flashDevice;
  std::uint64_t flashCapacity = 0; ///< bytes, from flashDevice
  std::string outputFile;
  std::string sofFile;
  std::uint32_t modeCode = 0;
  std::uint32_t startAddress = 0;
  std::string pageName = "Page_0";
  bool memoryMap = false;
  std::optional<std::uint32_t> optionStart;
};

/// Parses the XML text of a conversion description.
Result<CofDescription> parseCof(std::string_view text);

/// The capacity in bytes of a flash device named "CFI_<n>MB" or "CFI_<n>GB" (n megabits or
/// gigabits); nothing for any other name.
std::optional<std::uint64_t> parallelFlashCapacity(std::string_view name);

} // namespace vantrel::suite
