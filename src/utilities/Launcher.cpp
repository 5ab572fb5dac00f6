// The external process runner: construction, launch handshake, output taking, status,
// termination and the run-to-end convenience.
#include "utilities/Launcher.h"

#include "platform/time.h"
#include "utilities/IllegalStateError.h"
#include "utilities/LauncherText.h"
#include "utilities/LauncherThread.h"
#include "utilities/Utilities.h"
#include "utilities/UtilitiesMessages.h"

namespace vantrel::utilities {

void Launcher::OutputBuffer::append(const char *data, std::size_t n) {
  std::lock_guard<std::mutex> guard(lock);
  if (text) text->append(data, n);
}

Launcher::Launcher(std::vector<std::string> command, std::optional<std::vector<std::string>> environment)
    : myCommandArray(std::move(command)), myEnvironmentArray(std::move(environment)),
      launcherThread(std::make_unique<LauncherThread>(*this)) {}

std::unique_ptr<Launcher> Launcher::getInstance(std::vector<std::string> command) {
  return getInstance(std::move(command), std::nullopt);
}

std::unique_ptr<Launcher> Launcher::getInstance(std::initializer_list<std::string> command) {
  return getInstance(std::vector<std::string>(command), std::nullopt);
}

std::unique_ptr<Launcher> Launcher::getInstance(std::vector<std::string> command,
                                                std::optional<std::vector<std::string>> environment) {
  return std::unique_ptr<Launcher>(new Launcher(std::move(command), std::move(environment)));
}

std::unique_ptr<Launcher> Launcher::getInstance(const std::string &commandLine) {
  return getInstance(splitAtBlanks(commandLine), std::nullopt);
}

Launcher::~Launcher() {
  // The watcher uses the child and the buffers, which die with this object: a child still
  // running is ended so that the watcher finishes, and the watcher is waited for here.
  if (running() && myProcess) myProcess->terminate();
  launcherThread->join();
}

bool Launcher::launch() {
  {
    std::lock_guard<std::mutex> lock(instanceLock);
    if (started_) return false;
    iAmRunning = false;
    iHaveRun = false;
  }
  launchError_.clear();
  std::unique_ptr<platform::ChildProcess> child =
      platform::ChildProcess::start(myCommandArray, myEnvironmentArray, launchError_);
  if (!child) return false;
  myProcess = std::move(child);
  for (OutputBuffer *buffer : {&myProcessOutput, &myProcessStdErrOutput}) {
    std::lock_guard<std::mutex> guard(buffer->lock);
    buffer->text = std::string();
  }
  std::unique_lock<std::mutex> lock(instanceLock);
  started_ = true;
  launcherThread->start();
  instanceCondition.wait(lock, [this] { return iAmRunning || iHaveRun; });
  return true;
}

bool Launcher::running() {
  std::lock_guard<std::mutex> lock(instanceLock);
  return iAmRunning;
}

std::string Launcher::take(OutputBuffer &buffer) {
  std::optional<std::string> filter;
  bool ended;
  {
    // Lock order: the instance lock before a buffer's lock, as in the watcher's last drain.
    std::lock_guard<std::mutex> lock(instanceLock);
    filter = outputLineFilter;
    ended = iHaveRun;
  }
  std::string taken;
  {
    std::lock_guard<std::mutex> guard(buffer.lock);
    if (!buffer.text) return std::string();
    if (!filter || ended) {
      taken.swap(*buffer.text);
    } else {
      // The filter judges whole lines: a line still being written stays collected until
      // its end arrives, so it is neither dropped nor split into two judged halves.
      const std::size_t lastBreak = buffer.text->rfind('\n');
      if (lastBreak == std::string::npos) return std::string();
      taken = buffer.text->substr(0, lastBreak + 1);
      buffer.text->erase(0, lastBreak + 1);
    }
  }
  if (!filter) return taken;
  return filterLines(taken, *filter);
}

std::string Launcher::read() {
  return take(myProcessOutput);
}

std::string Launcher::readStdErr() {
  return take(myProcessStdErrOutput);
}

std::optional<std::string> Launcher::takeLineFrom(OutputBuffer &buffer) {
  std::lock_guard<std::mutex> guard(buffer.lock);
  if (!buffer.text) return std::nullopt;
  return takeLine(*buffer.text);
}

std::optional<std::string> Launcher::readLine() {
  return takeLineFrom(myProcessOutput);
}

std::optional<std::string> Launcher::readLineStdErr() {
  return takeLineFrom(myProcessStdErrOutput);
}

bool Launcher::write(const std::string &text) {
  if (!myProcess) return false;
  return myProcess->writeInput(text.data(), text.size());
}

void Launcher::closeInput() {
  if (myProcess) myProcess->closeInput();
}

int Launcher::exitValue() {
  if (!myProcess) return -1;
  return myProcess->status().exitValue();
}

platform::ChildStatus Launcher::childStatus() {
  if (!myProcess) return platform::ChildStatus{};
  return myProcess->status();
}

void Launcher::setOutputFilter(std::optional<std::string> prefix) {
  std::lock_guard<std::mutex> lock(instanceLock);
  outputLineFilter = std::move(prefix);
}

void Launcher::destroy() {
  if (myProcess) myProcess->terminate();
  const std::int64_t deadline = platform::nowMillis() + DESTROY_LIMIT_MILLIS;
  while (running() && platform::nowMillis() < deadline)
    platform::sleepMillis(DESTROY_POLL_MILLIS);
  if (running()) throw IllegalStateError(STILL_RUNNING_AFTER_DESTROY);
  // Not running: the watcher has made its last drain and is returning (or never ran).
  launcherThread->join();
  myProcess.reset();
  for (OutputBuffer *buffer : {&myProcessOutput, &myProcessStdErrOutput}) {
    std::lock_guard<std::mutex> guard(buffer->lock);
    buffer->text.reset();
  }
}

std::string Launcher::toString() const {
  return LAUNCHER_TEXT_PREFIX + joinWithBlanks(myCommandArray) + LAUNCHER_TEXT_SUFFIX;
}

std::optional<std::string> Launcher::runCommand(std::vector<std::string> command) {
  std::unique_ptr<Launcher> launcher = getInstance(std::move(command));
  launcher->launch();
  while (launcher->running())
    Utilities::sleep(RUN_COMMAND_POLL_MILLIS);
  if (launcher->exitValue() != 0) return std::nullopt;
  return launcher->read();
}

std::optional<std::string> Launcher::runCommand(std::initializer_list<std::string> command) {
  return runCommand(std::vector<std::string>(command));
}

std::optional<std::string> Launcher::runCommand(const std::string &commandLine) {
  return runCommand(splitAtBlanks(commandLine));
}

} // namespace vantrel::utilities
