// Test helpers on POSIX: posix_spawn with files for the child's output and a working
// folder, setenv.
#include "testProcess.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

extern char **environ;

namespace launcher_test {

namespace {

std::string readAll(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

} // namespace

RunResult runProgram(const std::string &program, const std::vector<std::string> &args, const EnvChanges &env,
                     const std::string &workingDir) {
  std::map<std::string, std::string> vars;
  for (char **e = environ; *e; ++e) {
    const char *eq = std::strchr(*e, '=');
    if (eq) vars[std::string(*e, static_cast<size_t>(eq - *e))] = eq + 1;
  }
  for (const auto &[name, value] : env) {
    if (value)
      vars[name] = *value;
    else
      vars.erase(name);
  }
  std::vector<std::string> envText;
  for (const auto &[name, value] : vars)
    envText.push_back(name + "=" + value);
  std::vector<char *> envp;
  for (std::string &e : envText)
    envp.push_back(e.data());
  envp.push_back(nullptr);

  std::vector<std::string> argText{program};
  argText.insert(argText.end(), args.begin(), args.end());
  std::vector<char *> argv;
  for (std::string &a : argText)
    argv.push_back(a.data());
  argv.push_back(nullptr);

  std::string dir = makeTempDir("run");
  std::string outPath = dir + "/out", errPath = dir + "/err";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (!workingDir.empty()) posix_spawn_file_actions_addchdir_np(&actions, workingDir.c_str());
  RunResult result;
  pid_t pid = 0;
  int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (rc == 0) {
    int status = 0;
    // A wait that fails is a failed run, never a run that still goes on.
    pid_t waited;
    while ((waited = waitpid(pid, &status, 0)) < 0 && errno == EINTR) {
    }
    result.started = waited == pid;
    if (!result.started) result.startError = static_cast<std::uint32_t>(errno);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.out = readAll(outPath);
    result.err = readAll(errPath);
  } else {
    result.startError = static_cast<std::uint32_t>(rc);
  }
  std::filesystem::remove_all(dir);
  return result;
}

void setEnv(const std::string &name, const std::optional<std::string> &value) {
  if (value)
    ::setenv(name.c_str(), value->c_str(), 1);
  else
    ::unsetenv(name.c_str());
}

std::optional<std::string> getEnv(const std::string &name) {
  const char *value = std::getenv(name.c_str());
  return value ? std::optional<std::string>(value) : std::nullopt;
}

std::string hostPath(const std::string &buildPath) {
  return buildPath;
}

unsigned long currentProcessId() {
  return static_cast<unsigned long>(getpid());
}

char pathListSeparator() {
  return ':';
}

std::string exeSuffix() {
  return "";
}

} // namespace launcher_test
