// The console line format: "Dec 6, 2026 7:27:29 AM - (SEVERE) bitmorph: text".
#include "commandApplication/CmdLogFormatter.h"

#include "commandApplication/DateText.h"
#include "platform/file.h"

namespace vantrel::commandApplication {

CmdLogFormatter::CmdLogFormatter() : lineSeparator_(platform::lineSeparator()) {}

std::string CmdLogFormatter::format(const LogRecord &record) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string line = consoleDateTime(localTimeOf(record.millis));
  line += " - (";
  line += levelName(record.level);
  line += ") ";
  line += record.message;
  line += lineSeparator_;
  if (record.thrown) line += *record.thrown;
  return line;
}

} // namespace vantrel::commandApplication
