// The console sink: records buffered in memory and written to standard output on flush.
#include "commandApplication/ConsoleSink.h"

#include "commandOptions/StandardStreams.h"

namespace vantrel::commandApplication {

ConsoleSink::ConsoleSink(std::shared_ptr<LogFormatter> formatter) : LogSink(std::move(formatter)) {}

ConsoleSink::~ConsoleSink() = default;

void ConsoleSink::write(const std::string &text) {
  std::lock_guard<std::mutex> lock(mutex_);
  buffer_ += text;
}

void ConsoleSink::flush() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (buffer_.empty()) return;
  std::ostream &out = commandOptions::standardOutput();
  out << buffer_;
  out.flush();
  buffer_.clear();
}

std::string ConsoleSink::pending() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return buffer_;
}

} // namespace vantrel::commandApplication
