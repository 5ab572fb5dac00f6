// Child-process runs of the test driver and log-line cleaning.
#include "DriverRunner.h"

#include "platform/environment.h"
#include "support/ChildRun.h"

#include <regex>

namespace vantrel::bitmorph::test {

namespace {
constexpr bool WINDOWS = BM_TEST_WINDOWS != 0;
} // namespace

std::string cleanLogLine(const std::string &line) {
  static const std::regex prefix(
      R"(^[A-Z][a-z]{2} [0-9]{1,2}, [0-9]{4} [0-9]{1,2}:[0-9]{2}:[0-9]{2} [AP]M - (\([A-Z]+\) ))");
  return std::regex_replace(line, prefix, "$1");
}

int runProgram(const std::vector<std::string> &command) {
  return testing::runChild(command).exitCode;
}

std::vector<std::string> driverEnvironment(const std::vector<std::string> &env, bool tools,
                                           const std::string &pathFront) {
  std::vector<std::string> environment;
  std::string path = platform::getEnvironmentVariable("PATH").value_or("");
  const char separator = WINDOWS ? ';' : ':';
  if (tools) path = hostPath(BM_FAKE_BIN) + separator + path;
  if (!pathFront.empty()) path = hostPath(pathFront) + separator + path;
  // The test tools' own settings (BM_...) reach a run only when the test gives them.
  for (const auto &entry : platform::environmentList()) {
    const std::string name = entry.substr(0, entry.find('='));
    if (name == "PATH" || name == "Path" || name.rfind("BM_", 0) == 0) continue;
    environment.push_back(entry);
  }
  environment.push_back("PATH=" + path);
  environment.insert(environment.end(), env.begin(), env.end());
  return environment;
}

namespace {

std::vector<std::string> driverCommand(const std::vector<std::string> &args, const std::string &program) {
  std::vector<std::string> command = {hostPath(program.empty() ? BM_DRIVER_PATH : program)};
  command.insert(command.end(), args.begin(), args.end());
  return command;
}

DriverResult driverResult(const testing::ChildRun &run) {
  DriverResult result;
  result.out = run.out;
  result.err = run.err;
  result.exitCode = run.exitCode;
  for (const auto &line : splitLines(result.out))
    result.lines.push_back(cleanLogLine(line));
  return result;
}

} // namespace

DriverResult runDriver(const std::vector<std::string> &args, const std::vector<std::string> &env, bool tools,
                       const std::string &pathFront, const std::string &program) {
  return driverResult(
      testing::runChild(driverCommand(args, program), {{}, driverEnvironment(env, tools, pathFront)}));
}

BackgroundRun::BackgroundRun(const std::vector<std::string> &args, const std::vector<std::string> &env,
                             const std::string &program)
    : child_(driverCommand(args, program), {{}, driverEnvironment(env, true, "")}) {}

const std::string &BackgroundRun::outputSoFar() {
  return child_.outputSoFar();
}

DriverResult BackgroundRun::finish() {
  return driverResult(child_.finish());
}

} // namespace vantrel::bitmorph::test
