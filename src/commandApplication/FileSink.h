// The file sink: every record appended to the log file and on disk before the next one.
#pragma once

#include "commandApplication/LogSink.h"

#include <mutex>
#include <string>

namespace vantrel::commandApplication {

/// Log-file sink. open() creates the file or replaces its content; each record is then
/// written and closed to disk at once (the file is reopened for appending per record), so
/// the file is complete at every moment. A failed write is reported once on standard error.
class FileSink : public LogSink {
public:
  explicit FileSink(std::shared_ptr<LogFormatter> formatter);
  /// Creates or truncates the file; false when it cannot be opened (missing folder, no
  /// permission, empty name).
  bool open(const std::string &path);
  void flush() override {}
  void close() override;
  const std::string &path() const { return path_; }
  /// False once a record could not be written.
  bool good() const;

protected:
  void write(const std::string &text) override;

private:
  mutable std::mutex mutex_;
  std::string path_;
  bool open_ = false;
  bool good_ = true;
};

} // namespace vantrel::commandApplication
