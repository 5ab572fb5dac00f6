// POSIX side of the test helper that stops processes: kill(2) with the signal, posix_spawn of
// this program for a worker.
#include "support/ProcessControl.h"

#include <climits>
#include <csignal>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/types.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

extern char **environ;

namespace vantrel::testing {

int signalNumber(Stop stop) {
  switch (stop) {
  case Stop::Interrupt:
    return SIGINT;
  case Stop::HangUp:
    return SIGHUP;
  case Stop::Terminate:
    break;
  }
  return SIGTERM;
}

bool sendStop(std::uint64_t pid, Stop stop) {
  return ::kill(static_cast<pid_t>(pid), signalNumber(stop)) == 0;
}

bool sendStopToGroup(std::uint64_t pid, Stop stop) {
  const pid_t group = ::getpgid(static_cast<pid_t>(pid));
  return group > 0 && ::kill(-group, signalNumber(stop)) == 0;
}

void awaitOwnStop() {}

bool killProcess(std::uint64_t pid) {
  return ::kill(static_cast<pid_t>(pid), SIGKILL) == 0;
}

int stoppedExitValue(Stop stop) {
  return 128 + signalNumber(stop);
}

void crashProcess() {
  // No core file: a test's folder holds only what the program under test leaves.
  const struct rlimit none = {0, 0};
  ::setrlimit(RLIMIT_CORE, &none);
  ::signal(SIGSEGV, SIG_DFL);
  ::raise(SIGSEGV);
  ::_exit(128 + SIGSEGV);
}

std::uint64_t ownProcessId() {
  return static_cast<std::uint64_t>(::getpid());
}

std::uint64_t parentProcessId() {
  return static_cast<std::uint64_t>(::getppid());
}

void ignoreStop(Stop stop) {
  ::signal(signalNumber(stop), SIG_IGN);
}

void endByConsoleEventsAsWindowsDoes() {}

bool enterNewJob() {
  return false;
}

bool stopDeliverable(Stop) {
  return true;
}

std::uint64_t startWorker(const std::vector<std::string> &args) {
  char self[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return 0;
  self[n] = '\0';
  std::vector<std::string> words(args);
  std::vector<char *> argv = {self};
  for (std::string &word : words)
    argv.push_back(word.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  return ::posix_spawn(&pid, self, nullptr, nullptr, argv.data(), environ) == 0
             ? static_cast<std::uint64_t>(pid)
             : 0;
}

bool processRuns(std::uint64_t pid) {
  // The state is the field after the command name in parentheses (which may hold blanks).
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::stringstream text;
  text << stat.rdbuf();
  const std::string line = text.str();
  const std::size_t close = line.rfind(')');
  if (close == std::string::npos || close + 2 >= line.size()) return false;
  const char state = line[close + 2];
  return state != 'Z' && state != 'X';
}

bool deliverConsoleEvent(std::uint64_t, int) {
  return false;
}

} // namespace vantrel::testing
