// POSIX side of the test helper that stops processes: kill(2) with the signal.
#include "support/ProcessControl.h"

#include <csignal>
#include <sys/resource.h>
#include <sys/types.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

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

bool enterNewJob() {
  return false;
}

bool stopDeliverable(Stop) {
  return true;
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
