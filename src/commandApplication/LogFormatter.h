// The interface of a line format: renders one record as text.
#pragma once

#include "commandApplication/LogRecord.h"

#include <string>

namespace vantrel::commandApplication {

/// Renders records; each sink owns one.
class LogFormatter {
public:
  virtual ~LogFormatter() = default;
  /// The complete text of one record, line separators included.
  virtual std::string format(const LogRecord &record) = 0;
};

} // namespace vantrel::commandApplication
