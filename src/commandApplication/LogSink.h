// The interface of a log destination: a threshold, a line format, publish, flush and close.
#pragma once

#include "commandApplication/Level.h"
#include "commandApplication/LogFormatter.h"
#include "commandApplication/LogRecord.h"

#include <atomic>
#include <memory>
#include <string>

namespace vantrel::commandApplication {

/// A destination of log records with its own threshold and format.
class LogSink {
public:
  explicit LogSink(std::shared_ptr<LogFormatter> formatter);
  virtual ~LogSink() = default;
  LogSink(const LogSink &) = delete;
  LogSink &operator=(const LogSink &) = delete;

  /// Formats and writes the record when its level passes the sink's threshold.
  void publish(const LogRecord &record);
  /// Pushes buffered records to their destination.
  virtual void flush() = 0;
  /// Flushes and releases the destination; later records are dropped.
  virtual void close() = 0;

  void setLevel(Level level) { level_.store(level); }
  Level getLevel() const { return level_.load(); }
  /// The sink's line format.
  const std::shared_ptr<LogFormatter> &getFormatter() const { return formatter_; }

protected:
  /// Writes one formatted record.
  virtual void write(const std::string &text) = 0;

private:
  std::shared_ptr<LogFormatter> formatter_;
  std::atomic<Level> level_{Level::ALL};
};

} // namespace vantrel::commandApplication
