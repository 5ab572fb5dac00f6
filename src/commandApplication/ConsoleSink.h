// The console sink: records buffered in memory and written to standard output on flush.
#pragma once

#include "commandApplication/LogSink.h"

#include <mutex>
#include <string>

namespace vantrel::commandApplication {

/// Console sink on standard output (commandOptions::standardOutput(), which tests may
/// redirect). Records are buffered until flush(): the one-argument logging operations
/// flush after each record, and every sink is flushed at process exit, so a record logged
/// without a flush reaches the console only then.
class ConsoleSink : public LogSink {
public:
  explicit ConsoleSink(std::shared_ptr<LogFormatter> formatter);
  ~ConsoleSink() override;
  void flush() override;
  void close() override { flush(); }
  /// The text waiting for the next flush.
  std::string pending() const;

protected:
  void write(const std::string &text) override;

private:
  mutable std::mutex mutex_;
  std::string buffer_;
};

} // namespace vantrel::commandApplication
