// The launcher's start of a program on POSIX: fork, the child's set-up with async-signal-safe
// calls only, exec, and a close-on-exec pipe that carries a failed exec's errno back.
#include "programStart_posix.h"

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char **environ;

namespace vantrel::launcher::platform {

namespace {

/// Everything the child uses, prepared before the fork.
struct ChildSetup {
  const char *program = nullptr;
  char *const *argv = nullptr;
  const ProgramStart *how = nullptr;
  sigset_t mask; ///< the mask the child runs the program with
  pid_t parent = 0;
  int report = -1; ///< write end of the close-on-exec pipe
};

[[noreturn]] void failInChild(int report, int err) {
  [[maybe_unused]] const ssize_t written = write(report, &err, sizeof err);
  _exit(127);
}

/// Makes fd the child's descriptor target, kept open across the exec.
bool placeAt(int fd, int target) {
  if (fd == target) return fcntl(fd, F_SETFD, 0) == 0;
  return dup2(fd, target) == target;
}

[[noreturn]] void becomeChild(const ChildSetup &setup) {
  const ProgramStart &how = *setup.how;
  // The launcher's own handlers (the passing on of stops) must not run in the child: until
  // the exec a signal takes its default action, as it does in the program afterwards.
  struct sigaction defaults = {};
  defaults.sa_handler = SIG_DFL;
  for (int signal = 1; signal < NSIG; ++signal) {
    struct sigaction current;
    if (signal == SIGKILL || signal == SIGSTOP || sigaction(signal, nullptr, &current) != 0) continue;
    if ((current.sa_flags & SA_SIGINFO) != 0 ||
        (current.sa_handler != SIG_DFL && current.sa_handler != SIG_IGN))
      sigaction(signal, &defaults, nullptr);
  }
  if (how.ownGroup && setpgid(0, 0) != 0) failInChild(setup.report, errno);
  if (how.parentDeathSignal != 0) {
    if (prctl(PR_SET_PDEATHSIG, how.parentDeathSignal) != 0) failInChild(setup.report, errno);
    // The parent died before the call above: the signal will never come, so it is taken now.
    if (getppid() != setup.parent) _exit(128 + how.parentDeathSignal);
  }
  if (how.standardOutput >= 0 && !placeAt(how.standardOutput, STDOUT_FILENO))
    failInChild(setup.report, errno);
  if (how.standardError >= 0 && !placeAt(how.standardError, STDERR_FILENO)) failInChild(setup.report, errno);
  sigprocmask(SIG_SETMASK, &setup.mask, nullptr);
  execve(setup.program, setup.argv, environ);
  failInChild(setup.report, errno);
}

} // namespace

int startProgram(const std::string &program, const std::vector<std::string> &words, const ProgramStart &how,
                 pid_t &pid) {
  std::vector<std::string> copies = words;
  std::vector<char *> argv;
  for (std::string &word : copies)
    argv.push_back(word.data());
  argv.push_back(nullptr);
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) return errno;

  ChildSetup setup;
  setup.program = program.c_str();
  setup.argv = argv.data();
  setup.how = &how;
  setup.parent = getpid();
  setup.report = report[1];
  // Every signal is blocked across the fork, so that nothing runs in the child before its
  // handlers are back at their defaults; the child then takes the mask it was given.
  sigset_t all, old;
  sigfillset(&all);
  pthread_sigmask(SIG_SETMASK, &all, &old);
  setup.mask = how.mask != nullptr ? *how.mask : old;
  const pid_t started = fork();
  if (started == 0) becomeChild(setup);
  const int forkError = errno;
  pthread_sigmask(SIG_SETMASK, &old, nullptr);
  close(report[1]);
  if (started < 0) {
    close(report[0]);
    return forkError;
  }
  // Nothing to read: the exec closed the child's end. An errno: the child could not run the
  // program and has ended; it is reaped here.
  int childError = 0;
  ssize_t got;
  do
    got = read(report[0], &childError, sizeof childError);
  while (got < 0 && errno == EINTR);
  close(report[0]);
  if (got == static_cast<ssize_t>(sizeof childError)) {
    while (waitpid(started, nullptr, 0) < 0 && errno == EINTR) {
    }
    return childError != 0 ? childError : ENOEXEC;
  }
  pid = started;
  return 0;
}

} // namespace vantrel::launcher::platform
