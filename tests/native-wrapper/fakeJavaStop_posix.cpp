// The fake runtime's stop handling on POSIX: posix_spawn of itself, handlers that end the
// helper and exit with only async-signal-safe calls.
#include "fakeJavaStop.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <climits>
#include <csignal>

extern char **environ;

namespace {

volatile std::sig_atomic_t helperPid = 0;

extern "C" void endHelperAndExit(int signal) {
  const pid_t helper = static_cast<pid_t>(helperPid);
  if (helper > 0) {
    kill(helper, SIGKILL);
    waitpid(helper, nullptr, 0);
  }
  _exit(100 + signal);
}

} // namespace

unsigned long ownProcessId() {
  return static_cast<unsigned long>(getpid());
}

unsigned long startSelf(const std::string &arg) {
  char self[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return 0;
  self[n] = '\0';
  std::string argument = arg;
  char *argv[] = {self, argument.data(), nullptr};
  pid_t pid = 0;
  return posix_spawn(&pid, self, nullptr, nullptr, argv, environ) == 0 ? static_cast<unsigned long>(pid) : 0;
}

void awaitStop(bool catchStops, unsigned long helper, const std::function<void()> &ready) {
  helperPid = static_cast<std::sig_atomic_t>(helper);
  if (catchStops) {
    struct sigaction action = {};
    action.sa_handler = endHelperAndExit;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
      sigaction(signal, &action, nullptr);
  }
  if (ready) ready();
  for (int i = 0; i < 300; ++i) {
    const struct timespec step = {0, 100 * 1000 * 1000};
    nanosleep(&step, nullptr);
  }
}
