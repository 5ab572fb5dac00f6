// Test helper on POSIX: the launcher's own start of a program (programStart_posix.h), kill,
// waitpid polled, /proc for the state of a process by id.
#include "runningProgram.h"

#include "programStart_posix.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

namespace launcher_test {

RunningProgram::RunningProgram(const std::string &program, const std::vector<std::string> &args,
                               bool ownGroup) {
  std::vector<std::string> words{program};
  words.insert(words.end(), args.begin(), args.end());
  const int nowhere = open("/dev/null", O_WRONLY | O_CLOEXEC);
  vantrel::launcher::platform::ProgramStart how;
  how.standardOutput = nowhere;
  how.standardError = nowhere;
  how.ownGroup = ownGroup;
  pid_t pid = 0;
  if (nowhere >= 0 && vantrel::launcher::platform::startProgram(program, words, how, pid) == 0) {
    handle = pid;
    id = static_cast<unsigned long>(pid);
  }
  if (nowhere >= 0) close(nowhere);
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
      signal_ = WIFSIGNALED(raw) ? WTERMSIG(raw) : 0;
      status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
      return status;
    }
    if (waited >= millis) return std::nullopt;
    const struct timespec step = {0, 10 * 1000 * 1000};
    nanosleep(&step, nullptr);
  }
}

} // namespace launcher_test
