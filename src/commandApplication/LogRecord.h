// One log record: level, text, time and where it came from.
#pragma once

#include "commandApplication/Level.h"

#include <cstdint>
#include <optional>
#include <string>

namespace vantrel::commandApplication {

/// What a logger hands to its sinks.
struct LogRecord {
  Level level = Level::INFO;
  std::string message;
  std::int64_t millis = 0; ///< creation time, milliseconds since 1970-01-01 UTC
  std::string loggerName;
  std::optional<std::string> sourceClass;  ///< issuing class, when known
  std::optional<std::string> sourceMethod; ///< issuing operation, when known
  std::optional<std::string> thrown;       ///< trace text of an attached failure
};

} // namespace vantrel::commandApplication
