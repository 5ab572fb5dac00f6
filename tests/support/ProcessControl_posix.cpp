// POSIX side of the test helper that stops processes: kill(2) with the signal.
#include "support/ProcessControl.h"

#include <csignal>
#include <sys/types.h>
#include <unistd.h>

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

} // namespace vantrel::testing
