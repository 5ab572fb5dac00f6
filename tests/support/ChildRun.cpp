// The one child-process runner of the tests, on the platform layer's ChildProcess.
#include "support/ChildRun.h"

#include "hostText/FilePath.h"
#include "platform/environment.h"
#include "platform/path.h"
#include "platform/process.h"
#include "platform/time.h"

#include <map>

namespace vantrel::testing {

ChildRun runChild(const std::vector<std::string> &command, const RunOptions &options) {
  return BackgroundChild(command, options).finish();
}

BackgroundChild::BackgroundChild(const std::vector<std::string> &command, const RunOptions &options) {
  std::optional<std::vector<std::string>> environment = options.environment;
  if (!environment && !options.changes.empty()) environment = environmentWith(options.changes);
  if (options.folder.empty()) {
    process_ = platform::ChildProcess::start(command, environment, run_.error);
  } else {
    // The child starts in the current folder: the test's own, for the moment of the start.
    CurrentFolderGuard guard(hostText::utf8Path(options.folder));
    process_ = platform::ChildProcess::start(command, environment, run_.error);
  }
  run_.started = process_ != nullptr;
}

BackgroundChild::~BackgroundChild() = default;

std::uint64_t BackgroundChild::pid() const {
  return process_ ? process_->id() : 0;
}

const std::string &BackgroundChild::outputSoFar() {
  if (!process_) return run_.out;
  using platform::ChildStream;
  for (auto stream : {ChildStream::Output, ChildStream::Error}) {
    std::string &into = stream == ChildStream::Output ? run_.out : run_.err;
    char buffer[4096];
    std::string error;
    while (process_->available(stream, error) > 0) {
      const std::int64_t got = process_->read(stream, buffer, sizeof buffer, error);
      if (got <= 0) break;
      into.append(buffer, static_cast<std::size_t>(got));
    }
  }
  return run_.out;
}

ChildRun BackgroundChild::finish() {
  if (!process_) return run_;
  while (process_->status().state == platform::ChildStatus::State::Running) {
    outputSoFar();
    platform::sleepMillis(1);
  }
  outputSoFar();
  // Whatever is still buffered after the end.
  using platform::ChildStream;
  for (auto stream : {ChildStream::Output, ChildStream::Error}) {
    char buffer[4096];
    std::string error;
    std::int64_t got;
    while ((got = process_->read(stream, buffer, sizeof buffer, error)) > 0)
      (stream == ChildStream::Output ? run_.out : run_.err).append(buffer, static_cast<std::size_t>(got));
  }
  const platform::ChildStatus status = process_->status();
  run_.exitCode = status.exitValue();
  if (status.state == platform::ChildStatus::State::Signaled) run_.signal = status.code;
  return run_;
}

std::vector<std::string> environmentWith(const EnvChanges &changes) {
  std::map<std::string, std::string> variables;
  for (const std::string &entry : platform::environmentList()) {
    // Windows keeps entries such as "=C:=C:\x"; the name runs to the first '=' after it.
    const std::size_t equals = entry.find('=', 1);
    if (equals != std::string::npos) variables[entry.substr(0, equals)] = entry.substr(equals + 1);
  }
  for (const auto &[name, value] : changes) {
    if (value)
      variables[name] = *value;
    else
      variables.erase(name);
  }
  std::vector<std::string> list;
  for (const auto &[name, value] : variables)
    list.push_back(name + "=" + value);
  return list;
}

std::string unixLineEnds(const std::string &text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i)
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
  return out;
}

std::string hostPath(const std::string &buildPath) {
  // A Windows program built here runs under Wine, where the build machine's files are
  // drive Z:.
  if (platform::hostSystem() != hostText::HostSystem::Windows || buildPath.empty() || buildPath[0] != '/')
    return buildPath;
  std::string windows = "Z:" + buildPath;
  for (char &c : windows)
    if (c == '/') c = '\\';
  return windows;
}

VariableGuard::VariableGuard(std::string name)
    : name_(std::move(name)), old_(platform::getEnvironmentVariable(name_)) {}

VariableGuard::~VariableGuard() {
  platform::setEnvironmentVariable(name_, old_);
}

CurrentFolderGuard::CurrentFolderGuard(const std::filesystem::path &folder)
    : old_(std::filesystem::current_path()) {
  std::filesystem::current_path(folder);
}

CurrentFolderGuard::~CurrentFolderGuard() {
  std::error_code ec;
  std::filesystem::current_path(old_, ec);
}

} // namespace vantrel::testing
