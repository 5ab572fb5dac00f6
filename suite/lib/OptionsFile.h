// Converter options files: one SETTING=ON or SETTING=OFF per line.
#pragma once

#include <string_view>

#include "Result.h"

namespace vantrel::suite {

/// The settings an options file can make.
struct ConverterOptions {
  bool compression = false; ///< "BITSTREAM_COMPRESSION": compress the configuration data
  /// "MEMORY_MAP_FILE": write a memory map beside an image converted from a SOF. On unless
  /// an options file turns it off, as the suite's converter writes one in every such flow.
  bool memoryMap = true;
};

/// Parses options-file text. Lines end at LF, CR LF or CR; blanks around a line and empty
/// lines are ignored; ON and OFF may be written in any case. Errors read
/// "line N " followed by OPTIONS_BAD_LINE or OPTIONS_UNKNOWN and the setting.
Result<ConverterOptions> parseOptionsFile(std::string_view text);

} // namespace vantrel::suite
