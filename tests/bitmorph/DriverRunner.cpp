// Child-process runs of the test driver and log-line cleaning.
#include "DriverRunner.h"

#include "platform/environment.h"
#include "utilities/Launcher.h"
#include "utilities/Utilities.h"

#include <regex>

namespace vantrel::bitmorph::test {

namespace {
constexpr bool WINDOWS = BM_TEST_WINDOWS != 0;
} // namespace

std::string hostPath(const std::string &path) {
  if (!WINDOWS || path.empty() || path[0] != '/') return path;
  std::string windows = "Z:" + path;
  for (char &c : windows) {
    if (c == '/') c = '\\';
  }
  return windows;
}

std::string cleanLogLine(const std::string &line) {
  static const std::regex prefix(
      R"(^[A-Z][a-z]{2} [0-9]{1,2}, [0-9]{4} [0-9]{1,2}:[0-9]{2}:[0-9]{2} [AP]M - (\([A-Z]+\) ))");
  return std::regex_replace(line, prefix, "$1");
}

int runProgram(const std::vector<std::string> &command) {
  auto launcher = utilities::Launcher::getInstance(command);
  if (!launcher->launch()) return -1;
  while (launcher->running()) {
    launcher->read();
    launcher->readStdErr();
    utilities::Utilities::sleep(2);
  }
  return launcher->exitValue();
}

DriverResult runDriver(const std::vector<std::string> &args, const std::vector<std::string> &env, bool tools,
                       const std::string &pathFront, const std::string &program) {
  std::vector<std::string> environment;
  std::string path = platform::getEnvironmentVariable("PATH").value_or("");
  const char separator = WINDOWS ? ';' : ':';
  if (tools) path = hostPath(BM_FAKE_BIN) + separator + path;
  if (!pathFront.empty()) path = hostPath(pathFront) + separator + path;
  for (const auto &entry : platform::environmentList()) {
    const std::string name = entry.substr(0, entry.find('='));
    if (name == "PATH" || name == "Path" || name.rfind("BM_FAKE_", 0) == 0) continue;
    environment.push_back(entry);
  }
  environment.push_back("PATH=" + path);
  environment.insert(environment.end(), env.begin(), env.end());

  std::vector<std::string> command = {hostPath(program.empty() ? BM_DRIVER_PATH : program)};
  command.insert(command.end(), args.begin(), args.end());
  auto launcher = utilities::Launcher::getInstance(command, environment);
  DriverResult result;
  launcher->launch();
  while (launcher->running()) {
    result.out += launcher->read();
    result.err += launcher->readStdErr();
    utilities::Utilities::sleep(2);
  }
  result.out += launcher->read();
  result.err += launcher->readStdErr();
  result.exitCode = launcher->exitValue();
  for (const auto &line : splitLines(result.out))
    result.lines.push_back(cleanLogLine(line));
  return result;
}

} // namespace vantrel::bitmorph::test
