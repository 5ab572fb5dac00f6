// The interface of a log destination: a threshold, a line format, publish, flush and close.
#include "commandApplication/LogSink.h"

namespace vantrel::commandApplication {

LogSink::LogSink(std::shared_ptr<LogFormatter> formatter) : formatter_(std::move(formatter)) {}

void LogSink::publish(const LogRecord &record) {
  if (!passes(record.level, getLevel())) return;
  write(formatter_->format(record));
}

} // namespace vantrel::commandApplication
