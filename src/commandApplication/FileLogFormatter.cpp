// The log-file record format: a date-and-source line, then a level-and-text line.
#include "commandApplication/FileLogFormatter.h"

#include "commandApplication/DateText.h"
#include "platform/file.h"

namespace vantrel::commandApplication {

FileLogFormatter::FileLogFormatter() : lineSeparator_(platform::lineSeparator()) {}

std::string FileLogFormatter::format(const LogRecord &record) {
  std::string source;
  if (record.sourceClass) {
    source = *record.sourceClass;
    if (record.sourceMethod) {
      source += " ";
      source += *record.sourceMethod;
    }
  } else {
    source = record.loggerName;
  }
  std::string text = fileDateTime(localTimeOf(record.millis));
  text += " ";
  text += source;
  text += lineSeparator_;
  text += levelName(record.level);
  text += ": ";
  text += record.message;
  text += lineSeparator_;
  if (record.thrown) text += *record.thrown;
  return text;
}

} // namespace vantrel::commandApplication
