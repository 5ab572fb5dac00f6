// Named loggers: a threshold and a list of sinks, found by name, all flushed at process exit.
#include "commandApplication/Logger.h"

#include "platform/time.h"

#include <cstdlib>
#include <map>

namespace vantrel::commandApplication {

// The process-wide table of loggers. It is created on first use and deliberately never
// destroyed: objects with static lifetime (a tool keeps its application object in one)
// may still log or detach sinks while other statics are torn down. The flush at exit is
// an atexit handler registered when the table is made.
struct LoggerRegistry {
  std::mutex mutex;
  std::map<std::string, std::unique_ptr<Logger>> loggers;
  // Kept apart from the named loggers: a tool named "" must not become everyone's parent.
  std::unique_ptr<Logger> root{new Logger("")};

  static LoggerRegistry &instance() {
    static LoggerRegistry *registry = [] {
      auto *made = new LoggerRegistry();
      std::atexit(&Logger::flushAllAtExit);
      return made;
    }();
    return *registry;
  }

  Logger &get(const std::string &name) {
    std::lock_guard<std::mutex> lock(mutex);
    std::unique_ptr<Logger> &slot = loggers[name];
    if (!slot) slot.reset(new Logger(name));
    return *slot;
  }

  std::vector<Logger *> all() {
    std::lock_guard<std::mutex> lock(mutex);
    std::vector<Logger *> out;
    for (auto &entry : loggers)
      out.push_back(entry.second.get());
    out.push_back(root.get());
    return out;
  }
};

Logger &Logger::getLogger(const std::string &name) {
  return LoggerRegistry::instance().get(name);
}

Logger &Logger::getRootLogger() {
  return *LoggerRegistry::instance().root;
}

void Logger::flushAllAtExit() {
  for (Logger *logger : LoggerRegistry::instance().all())
    for (const std::shared_ptr<LogSink> &sink : logger->getSinks())
      sink->flush();
}

void Logger::setLevel(Level level) {
  std::lock_guard<std::mutex> lock(mutex_);
  level_ = level;
}

Level Logger::getLevel() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return level_;
}

bool Logger::isLoggable(Level level) const {
  return passes(level, getLevel());
}

void Logger::addSink(std::shared_ptr<LogSink> sink) {
  std::lock_guard<std::mutex> lock(mutex_);
  sinks_.push_back(std::move(sink));
}

void Logger::removeSink(const std::shared_ptr<LogSink> &sink) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (auto it = sinks_.begin(); it != sinks_.end(); ++it)
    if (*it == sink) {
      sinks_.erase(it);
      return;
    }
}

std::vector<std::shared_ptr<LogSink>> Logger::getSinks() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return sinks_;
}

void Logger::setUseParentSinks(bool use) {
  std::lock_guard<std::mutex> lock(mutex_);
  useParentSinks_ = use;
}

bool Logger::getUseParentSinks() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return useParentSinks_;
}

void Logger::log(Level level, const std::string &text) {
  LogRecord record;
  record.level = level;
  record.message = text;
  log(std::move(record));
}

void Logger::logp(Level level, const std::string &sourceClass, const std::string &sourceMethod,
                  const std::string &text) {
  LogRecord record;
  record.level = level;
  record.message = text;
  record.sourceClass = sourceClass;
  record.sourceMethod = sourceMethod;
  log(std::move(record));
}

void Logger::log(LogRecord record) {
  if (!isLoggable(record.level)) return;
  if (record.millis == 0) record.millis = platform::nowMillis();
  record.loggerName = name_;
  for (const std::shared_ptr<LogSink> &sink : getSinks())
    sink->publish(record);
  if (this != &getRootLogger() && getUseParentSinks())
    for (const std::shared_ptr<LogSink> &sink : getRootLogger().getSinks())
      sink->publish(record);
}

void Logger::flush() {
  for (const std::shared_ptr<LogSink> &sink : getSinks())
    sink->flush();
}

} // namespace vantrel::commandApplication
