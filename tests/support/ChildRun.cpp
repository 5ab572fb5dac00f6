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
  using platform::ChildStream;
  ChildRun run;
  std::optional<std::vector<std::string>> environment = options.environment;
  if (!environment && !options.changes.empty()) environment = environmentWith(options.changes);
  std::unique_ptr<platform::ChildProcess> process;
  if (options.folder.empty()) {
    process = platform::ChildProcess::start(command, environment, run.error);
  } else {
    // The child starts in the current folder: the test's own, for the moment of the start.
    CurrentFolderGuard guard(hostText::utf8Path(options.folder));
    process = platform::ChildProcess::start(command, environment, run.error);
  }
  if (!process) return run;
  run.started = true;
  auto drain = [&](ChildStream stream, std::string &into) {
    char buffer[4096];
    std::string error;
    while (process->available(stream, error) > 0) {
      const std::int64_t got = process->read(stream, buffer, sizeof buffer, error);
      if (got <= 0) return;
      into.append(buffer, static_cast<std::size_t>(got));
    }
  };
  for (;;) {
    const bool ended = process->status().state != platform::ChildStatus::State::Running;
    drain(ChildStream::Output, run.out);
    drain(ChildStream::Error, run.err);
    if (ended) break;
    platform::sleepMillis(1);
  }
  // Whatever is still buffered after the end.
  for (auto stream : {ChildStream::Output, ChildStream::Error}) {
    char buffer[4096];
    std::string error;
    std::int64_t got;
    while ((got = process->read(stream, buffer, sizeof buffer, error)) > 0)
      (stream == ChildStream::Output ? run.out : run.err).append(buffer, static_cast<std::size_t>(got));
  }
  run.exitCode = process->status().exitValue();
  return run;
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
