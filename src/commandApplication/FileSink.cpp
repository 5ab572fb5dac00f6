// The file sink: every record appended to the log file and on disk before the next one.
#include "commandApplication/FileSink.h"

#include "commandApplication/AppMessages.h"
#include "commandOptions/StandardStreams.h"
#include "platform/file.h"

namespace vantrel::commandApplication {

FileSink::FileSink(std::shared_ptr<LogFormatter> formatter) : LogSink(std::move(formatter)) {}

bool FileSink::open(const std::string &path) {
  std::lock_guard<std::mutex> lock(mutex_);
  path_ = path;
  if (path.empty()) return false;
  platform::OutputFile file;
  if (!file.open(path, platform::OutputFile::Mode::Truncate)) return false;
  open_ = file.close();
  return open_;
}

void FileSink::close() {
  std::lock_guard<std::mutex> lock(mutex_);
  open_ = false;
}

bool FileSink::good() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return good_;
}

void FileSink::write(const std::string &text) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!open_) return;
  platform::OutputFile file;
  const bool written =
      file.open(path_, platform::OutputFile::Mode::Append) && file.write(text) && file.close();
  if (!written && good_) {
    // Reported once, so a full disk does not flood the console; later records still try.
    good_ = false;
    std::ostream &err = commandOptions::standardError();
    err << messages::UNABLE_TO_WRITE_LOGFILE << path_ << platform::lineSeparator();
    err.flush();
  }
}

} // namespace vantrel::commandApplication
