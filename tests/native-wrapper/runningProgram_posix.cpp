// Test helper on POSIX: posix_spawn without waiting, kill, waitpid polled, /proc for the
// state of a process by id.
#include "runningProgram.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char **environ;

namespace launcher_test {

RunningProgram::RunningProgram(const std::string &program, const std::vector<std::string> &args,
                               bool ownGroup) {
  std::vector<std::string> words{program};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char *> argv;
  for (std::string &word : words)
    argv.push_back(word.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  if (ownGroup) {
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
  }
  pid_t pid = 0;
  if (posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ) == 0) {
    handle = pid;
    id = static_cast<unsigned long>(pid);
  }
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
}

RunningProgram::~RunningProgram() {
  if (started() && !waitFor(0)) {
    vantrel::testing::killProcess(id);
    waitFor(10000);
  }
}

bool RunningProgram::signal(int number) {
  return started() && kill(static_cast<pid_t>(id), number) == 0;
}

bool RunningProgram::interruptGroup() {
  return started() && kill(-static_cast<pid_t>(id), SIGINT) == 0;
}

std::optional<std::uint32_t> RunningProgram::waitFor(int millis) {
  if (status || !started()) return status;
  for (int waited = 0;; waited += 10) {
    int raw = 0;
    if (waitpid(static_cast<pid_t>(id), &raw, WNOHANG) == static_cast<pid_t>(id)) {
      status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
      return status;
    }
    if (waited >= millis) return std::nullopt;
    const struct timespec step = {0, 10 * 1000 * 1000};
    nanosleep(&step, nullptr);
  }
}

} // namespace launcher_test
