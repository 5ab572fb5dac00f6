// Test helpers of the launcher tests on both platforms: the shared child runner, the
// platform layer's environment calls, scratch folders under the build machine's /tmp.
#include "testProcess.h"

#include "hostText/FilePath.h"
#include "platform/environment.h"
#include "platform/file.h"
#include "platform/path.h"
#include "support/ScratchDir.h"

#include <filesystem>
#include <system_error>
#include <vector>

namespace launcher_test {

namespace {

std::vector<std::string> &madeDirs() {
  static std::vector<std::string> dirs;
  return dirs;
}

bool windows() {
  return vantrel::platform::hostSystem() == vantrel::hostText::HostSystem::Windows;
}

} // namespace

RunResult runProgram(const std::string &program, const std::vector<std::string> &args, const EnvChanges &env,
                     const std::string &workingDir) {
  std::vector<std::string> command = {program};
  command.insert(command.end(), args.begin(), args.end());
  const vantrel::testing::ChildRun run = vantrel::testing::runChild(command, {env, std::nullopt, workingDir});
  RunResult result;
  result.started = run.started;
  result.startError = run.error;
  // All 32 bits of a Windows exit code; 0..255 (or 128 + S) on POSIX.
  result.exitCode = static_cast<std::uint32_t>(run.exitCode);
  result.out = vantrel::testing::unixLineEnds(run.out);
  result.err = vantrel::testing::unixLineEnds(run.err);
  return result;
}

void setEnv(const std::string &name, const std::optional<std::string> &value) {
  vantrel::platform::setEnvironmentVariable(name, value);
}

std::optional<std::string> getEnv(const std::string &name) {
  return vantrel::platform::getEnvironmentVariable(name);
}

unsigned long currentProcessId() {
  return vantrel::platform::currentProcessId();
}

char pathListSeparator() {
  return windows() ? ';' : ':';
}

std::string exeSuffix() {
  return windows() ? ".exe" : "";
}

std::string makeTempDir(const std::string &tag, const std::string &name) {
  static int counter = 0;
  const std::string base = hostPath("/tmp/bmlaunch-" + tag + "-" + std::to_string(currentProcessId()) + "-" +
                                    std::to_string(++counter));
  const std::string dir = name.empty() ? base : base + vantrel::platform::preferredSeparator() + name;
  // A folder of an earlier process that had this id goes first, however deep it is.
  vantrel::testing::removeTree(vantrel::hostText::utf8Path(base));
  std::filesystem::create_directories(vantrel::hostText::utf8Path(dir));
  madeDirs().push_back(base);
  return dir;
}

void removeTempDirs() {
  for (const std::string &dir : madeDirs())
    vantrel::testing::removeTree(vantrel::hostText::utf8Path(dir));
  madeDirs().clear();
}

} // namespace launcher_test
