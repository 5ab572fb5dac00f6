// Named loggers: a threshold and a list of sinks, found by name, all flushed at process exit.
#pragma once

#include "commandApplication/Level.h"
#include "commandApplication/LogRecord.h"
#include "commandApplication/LogSink.h"

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace vantrel::commandApplication {

/// A logger: a threshold and a list of sinks. Loggers are found by name and live for the
/// whole process; asking twice for one name yields the same logger. Every named logger's
/// parent is the root logger, which has no name, cannot be found by name and has no sinks
/// unless one is added. At
/// process exit (normal return or std::exit) every sink of every logger is flushed and
/// closed; that is when records logged without a flush reach the console.
class Logger {
public:
  /// The logger with this name, created on first request.
  static Logger &getLogger(const std::string &name);
  /// The root logger.
  static Logger &getRootLogger();
  /// Flushes every sink of every logger (run at process exit; the file sinks are already
  /// on disk, so nothing needs closing).
  static void flushAllAtExit();

  Logger(const Logger &) = delete;
  Logger &operator=(const Logger &) = delete;

  const std::string &getName() const { return name_; }
  void setLevel(Level level);
  Level getLevel() const;
  /// True when a record of this level passes the logger's threshold.
  bool isLoggable(Level level) const;

  void addSink(std::shared_ptr<LogSink> sink);
  void removeSink(const std::shared_ptr<LogSink> &sink);
  std::vector<std::shared_ptr<LogSink>> getSinks() const;
  /// Whether records also go to the parent's sinks (true for new loggers).
  void setUseParentSinks(bool use);
  bool getUseParentSinks() const;

  /// Logs text at level with no known source.
  void log(Level level, const std::string &text);
  /// Logs text at level, naming the issuing class and operation.
  void logp(Level level, const std::string &sourceClass, const std::string &sourceMethod,
            const std::string &text);
  /// Publishes a complete record to the sinks (its level checked against the threshold).
  void log(LogRecord record);
  /// Flushes every sink of this logger.
  void flush();

private:
  explicit Logger(std::string name) : name_(std::move(name)) {}
  friend struct LoggerRegistry;

  std::string name_;
  mutable std::mutex mutex_;
  Level level_ = Level::INFO;
  std::vector<std::shared_ptr<LogSink>> sinks_;
  bool useParentSinks_ = true;
};

} // namespace vantrel::commandApplication
