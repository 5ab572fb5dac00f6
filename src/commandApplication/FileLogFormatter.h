// The log-file record format: a date-and-source line, then a level-and-text line.
#pragma once

#include "commandApplication/LogFormatter.h"

#include <string>

namespace vantrel::commandApplication {

/// Two lines per record, each ended by the platform line separator:
///   "Dec 06, 2026 7:27:29 AM com.vantrel.commandApplication.CmdApp info"
///   "INFO: bitmorph: text"
/// The source is the issuing class and operation, or the logger name when unknown.
class FileLogFormatter : public LogFormatter {
public:
  FileLogFormatter();
  std::string format(const LogRecord &record) override;

private:
  std::string lineSeparator_;
};

} // namespace vantrel::commandApplication
