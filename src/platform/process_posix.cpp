// POSIX side of child processes: fork and exec with three close-on-exec pipes, each child
// leading a process group of its own (on Linux also ended when this process dies), FIONREAD
// for "how much can be read now", waitid/waitpid(WNOHANG) for the status, signals to the
// child's whole group to ask it to end or to terminate it, kill(pid, 0) to find a process.
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <mutex>
#include <poll.h>
#include <pthread.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/PlatformMessages.h"
#include "platform/brokenPipe_posix.h"
#include "platform/environment.h"
#include "platform/interruptRegistry.h"
#include "platform/process.h"
#include "platform/processSpawn.h"
#include "platform/systemError.h"
#include "platform/time.h"

extern char **environ;

namespace vantrel::platform {

struct ChildProcess::Impl {
  pid_t pid = -1;
  int input = -1;    // write end of the child's standard input
  int output = -1;   // read end of its standard output
  int error = -1;    // read end of its standard error
  int ended_fd = -1; // readable once the child has ended (a pidfd; -1 where there is none)
  std::mutex statusMutex;
  bool ended = false; // the child has been reaped; its pid may belong to another process
  ChildStatus finalStatus;

  int fd(ChildStream stream) const { return stream == ChildStream::Output ? output : error; }
};

namespace {

std::string describe(int err) {
  return detail::describeSystemError(err);
}

void closeFd(int &fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

bool isExecutableFile(const std::string &path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

/// Owns the pipe ends while spawn() builds the child: the three standard streams and the
/// pipe on which the child reports a failed exec.
struct SpawnParts {
  int in[2] = {-1, -1};
  int out[2] = {-1, -1};
  int err[2] = {-1, -1};
  int report[2] = {-1, -1};
  ~SpawnParts() {
    for (int *p : {in, out, err, report}) {
      closeFd(p[0]);
      closeFd(p[1]);
    }
  }
};

/// What the child does between fork and exec, all of it prepared before the fork: the child
/// of a process with other threads may make only async-signal-safe calls (no allocation, no
/// lock), since another thread may have held any lock at the moment of the fork.
struct ChildSetup {
  const char *program = nullptr;
  char *const *argv = nullptr;
  char *const *envp = nullptr;
  int streams[3] = {-1, -1, -1}; ///< the pipe ends that become its standard input, output, error
  int report = -1;               ///< close-on-exec: carries the errno of a failed start
  pid_t parent = 0;
};

[[noreturn]] void failInChild(int report, int err) {
  [[maybe_unused]] const ssize_t written = ::write(report, &err, sizeof err);
  ::_exit(127);
}

/// Gives signal its default action.
void defaultAction(int signal) {
  struct sigaction action = {};
  action.sa_handler = SIG_DFL;
  ::sigaction(signal, &action, nullptr);
}

/// In the child: its own process group, its end with this process, the signal handling a
/// program expects to start with, its three pipe ends as 0, 1 and 2, then the program.
[[noreturn]] void becomeChild(const ChildSetup &setup) {
  // A group of its own: a stop or a kill reaches the tool and every worker it starts, and
  // the group id (the tool's pid) names nobody else while the tool has not been reaped. The
  // tool is then no longer in the terminal's foreground group: a terminal's Ctrl-C reaches
  // only the run, which passes it on (interrupt.h).
  if (::setpgid(0, 0) != 0) failInChild(setup.report, errno);
  // Ended outright when the thread that started it ends, which happens only when this whole
  // process dies (a SIGKILL leaves no chance to clean up): the thread that starts a tool
  // waits for its end, and ChildProcess's owners end a tool before they let it go.
  if (::prctl(PR_SET_PDEATHSIG, SIGKILL) != 0) failInChild(setup.report, errno);
  // This process died between the fork and the call above: the signal will never come.
  if (::getppid() != setup.parent) ::_exit(127);
  // This process's handlers mean nothing to the program (exec would reset them, but a
  // signal may arrive before the exec); a SIGPIPE this process ignores must end a writer
  // to a closed pipe as usual.
  for (int signal = 1; signal < NSIG; ++signal) {
    struct sigaction current;
    if (signal == SIGKILL || signal == SIGSTOP || ::sigaction(signal, nullptr, &current) != 0) continue;
    const bool caught = (current.sa_flags & SA_SIGINFO) != 0 ||
                        (current.sa_handler != SIG_DFL && current.sa_handler != SIG_IGN);
    if (caught || signal == SIGPIPE) defaultAction(signal);
  }
  // Outside the terminal's foreground group a read or a mode change of the terminal would
  // stop the tool, and with it the run that waits for it: ignored, they fail instead.
  struct sigaction ignore = {};
  ignore.sa_handler = SIG_IGN;
  ::sigaction(SIGTTOU, &ignore, nullptr);
  ::sigaction(SIGTTIN, &ignore, nullptr);
  // Above 2 first, so that no end is overwritten by another's dup2 whatever numbers the
  // pipes got (this process may have started with a standard stream closed).
  int moved[3];
  for (int i = 0; i < 3; ++i) {
    moved[i] = ::fcntl(setup.streams[i], F_DUPFD_CLOEXEC, 3);
    if (moved[i] < 0) failInChild(setup.report, errno);
  }
  for (int i = 0; i < 3; ++i)
    if (::dup2(moved[i], i) < 0) failInChild(setup.report, errno);
  sigset_t none;
  sigemptyset(&none);
  ::sigprocmask(SIG_SETMASK, &none, nullptr);
  ::execve(setup.program, setup.argv, setup.envp);
  failInChild(setup.report, errno);
}

} // namespace

std::string detail::searchPath() {
  // Without PATH the same default as the C library's exec functions applies.
  return getEnvironmentVariable("PATH").value_or("/bin:/usr/bin");
}

bool detail::isProgramFile(const std::string &file) {
  return isExecutableFile(file);
}

std::string detail::programNotFoundReason() {
  return describe(ENOENT);
}

ChildProcess::ChildProcess(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

ChildProcess::~ChildProcess() {
  // First of all: an interruption's clean-up may be using this object right now.
  detail::unregisterChild(this);
  closeFd(impl_->input);
  closeFd(impl_->output);
  closeFd(impl_->error);
  closeFd(impl_->ended_fd);
  status(); // reaps a child that has already ended, so that no zombie stays behind
}

std::unique_ptr<ChildProcess> ChildProcess::spawn(const std::string &program,
                                                  const std::vector<std::string> &command,
                                                  const std::optional<std::vector<std::string>> &environment,
                                                  std::string &error) {
  SpawnParts parts;
  // Close-on-exec everywhere: the child's dup2 calls give it its three ends, and no other
  // child started meanwhile keeps any of them.
  if (::pipe2(parts.in, O_CLOEXEC) != 0 || ::pipe2(parts.out, O_CLOEXEC) != 0 ||
      ::pipe2(parts.err, O_CLOEXEC) != 0 || ::pipe2(parts.report, O_CLOEXEC) != 0) {
    error = msg::CANNOT_CREATE_PIPES + describe(errno);
    return nullptr;
  }

  std::vector<char *> argv;
  for (const std::string &argument : command)
    argv.push_back(const_cast<char *>(argument.c_str()));
  argv.push_back(nullptr);
  std::vector<char *> envp;
  if (environment) {
    for (const std::string &entry : *environment)
      envp.push_back(const_cast<char *>(entry.c_str()));
    envp.push_back(nullptr);
  }
  ChildSetup setup;
  setup.program = program.c_str();
  setup.argv = argv.data();
  setup.envp = environment ? envp.data() : environ;
  setup.streams[0] = parts.in[0];
  setup.streams[1] = parts.out[1];
  setup.streams[2] = parts.err[1];
  setup.report = parts.report[1];
  setup.parent = ::getpid();

  // fork, not posix_spawn: a parent-death signal can be set only between fork and exec.
  // Every signal is blocked in this thread across the fork, so that no handler of this
  // process runs in the child before becomeChild has put the default actions back.
  sigset_t all, old;
  sigfillset(&all);
  ::pthread_sigmask(SIG_SETMASK, &all, &old);
  const pid_t pid = ::fork();
  if (pid == 0) becomeChild(setup);
  const int forkError = errno;
  ::pthread_sigmask(SIG_SETMASK, &old, nullptr);
  if (pid < 0) {
    error = detail::cannotRunProgram(command[0], describe(forkError));
    return nullptr;
  }
  // The child's end of the report pipe closes at its exec: nothing read means it runs the
  // program; an errno read means it could not, and it has ended.
  closeFd(parts.report[1]);
  int childError = 0;
  ssize_t got;
  do
    got = ::read(parts.report[0], &childError, sizeof childError);
  while (got < 0 && errno == EINTR);
  if (got == static_cast<ssize_t>(sizeof childError)) {
    while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
    error = detail::cannotRunProgram(command[0], describe(childError));
    return nullptr;
  }

  auto impl = std::make_unique<Impl>();
  impl->pid = pid;
  impl->input = parts.in[1];
  impl->output = parts.out[0];
  impl->error = parts.err[0];
  parts.in[1] = parts.out[0] = parts.err[0] = -1; // now owned by impl; the rest closes here
#ifdef SYS_pidfd_open
  // Opened while the child cannot yet have been reaped, so the id is surely its.
  impl->ended_fd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
  if (impl->ended_fd >= 0) ::fcntl(impl->ended_fd, F_SETFD, FD_CLOEXEC);
#endif
  return std::unique_ptr<ChildProcess>(new ChildProcess(std::move(impl)));
}

std::int64_t ChildProcess::available(ChildStream stream, std::string &error) {
  int count = 0;
  if (::ioctl(impl_->fd(stream), FIONREAD, &count) != 0) {
    error = describe(errno);
    return -1;
  }
  return count;
}

std::int64_t ChildProcess::read(ChildStream stream, void *buffer, std::size_t n, std::string &error) {
  ssize_t got;
  do
    got = ::read(impl_->fd(stream), buffer, n);
  while (got < 0 && errno == EINTR);
  if (got < 0) error = describe(errno);
  return got;
}

bool ChildProcess::writeInput(const void *data, std::size_t n) {
  // A write to a pipe whose reader has gone must not end this process.
  detail::BrokenPipeGuard guard;
  const char *p = static_cast<const char *>(data);
  bool ok = impl_->input >= 0;
  while (ok && n > 0) {
    const ssize_t put = ::write(impl_->input, p, n);
    if (put < 0) {
      if (errno == EINTR) continue;
      if (errno == EPIPE) guard.sawBrokenPipe();
      ok = false;
      break;
    }
    p += put;
    n -= static_cast<std::size_t>(put);
  }
  return ok;
}

void ChildProcess::closeInput() {
  closeFd(impl_->input);
}

void ChildProcess::waitForEnd(std::int64_t millis) {
  if (impl_->ended_fd < 0) {
    sleepMillis(millis);
    return;
  }
  pollfd ended{impl_->ended_fd, POLLIN, 0};
  (void)::poll(&ended, 1,
               static_cast<int>(std::min<std::int64_t>(millis, INT32_MAX))); // a signal ends it early
}

ChildStatus ChildProcess::status() {
  std::lock_guard<std::mutex> lock(impl_->statusMutex);
  if (impl_->ended) return impl_->finalStatus;
  // Asked without reaping: while the ended child is an unreaped zombie its id, which is also
  // its group's, cannot be given to another process, so the group can still be killed.
  siginfo_t info = {};
  int r;
  do
    r = ::waitid(P_PID, static_cast<id_t>(impl_->pid), &info, WEXITED | WNOHANG | WNOWAIT);
  while (r < 0 && errno == EINTR);
  if (r == 0 && info.si_pid == 0) return ChildStatus{}; // still running (or only stopped)
  ChildStatus done;
  if (r < 0) {
    // Reaped elsewhere (SIGCHLD ignored, for instance): it has ended, status unknown, and
    // its id may name another process already, so its group is left alone.
    done.state = ChildStatus::State::Failed;
    done.code = errno;
  } else {
    // Whatever the tool started and left behind (a wrapper script's worker) ends with it,
    // before anybody reads what the tool wrote or the run lets go of its files.
    ::kill(-impl_->pid, SIGKILL);
    int raw = 0;
    pid_t reaped;
    do
      reaped = ::waitpid(impl_->pid, &raw, 0);
    while (reaped < 0 && errno == EINTR);
    if (reaped < 0) {
      done.state = ChildStatus::State::Failed;
      done.code = errno;
    } else if (WIFSIGNALED(raw)) {
      done.state = ChildStatus::State::Signaled;
      done.code = WTERMSIG(raw);
    } else {
      done.state = ChildStatus::State::Exited;
      done.code = WEXITSTATUS(raw);
    }
  }
  impl_->ended = true;
  impl_->finalStatus = done;
  return done;
}

bool ChildProcess::terminate() {
  std::lock_guard<std::mutex> lock(impl_->statusMutex);
  // Once reaped, the pid may already name an unrelated process (and group).
  if (impl_->ended) return false;
  const bool group = ::kill(-impl_->pid, SIGKILL) == 0;
  // Also the child itself, should it have moved to another group.
  return ::kill(impl_->pid, SIGKILL) == 0 || group;
}

bool ChildProcess::askToEnd(StopRequest request) {
  std::lock_guard<std::mutex> lock(impl_->statusMutex);
  if (impl_->ended) return false;
  const int signal = request == StopRequest::Interrupt ? SIGINT
                     : request == StopRequest::HangUp  ? SIGHUP
                                                       : SIGTERM;
  return ::kill(-impl_->pid, signal) == 0;
}

bool endedByCrash(const ChildStatus &status) {
  return status.state == ChildStatus::State::Signaled;
}

std::string detail::signalName(int number) {
  // The signals a program dies of, named as shells and debuggers name them.
  static const struct {
    int number;
    const char *name;
  } NAMES[] = {{SIGHUP, "SIGHUP"},   {SIGINT, "SIGINT"},   {SIGQUIT, "SIGQUIT"}, {SIGILL, "SIGILL"},
               {SIGTRAP, "SIGTRAP"}, {SIGABRT, "SIGABRT"}, {SIGBUS, "SIGBUS"},   {SIGFPE, "SIGFPE"},
               {SIGKILL, "SIGKILL"}, {SIGUSR1, "SIGUSR1"}, {SIGSEGV, "SIGSEGV"}, {SIGUSR2, "SIGUSR2"},
               {SIGPIPE, "SIGPIPE"}, {SIGALRM, "SIGALRM"}, {SIGTERM, "SIGTERM"}, {SIGXCPU, "SIGXCPU"},
               {SIGXFSZ, "SIGXFSZ"}, {SIGSYS, "SIGSYS"}};
  for (const auto &entry : NAMES)
    if (entry.number == number) return entry.name;
  return "";
}

bool processExists(std::uint64_t pid) {
  if (pid == 0 || pid > static_cast<std::uint64_t>(std::numeric_limits<pid_t>::max())) return false;
  // EPERM: the process exists and belongs to somebody else.
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

std::uint64_t ChildProcess::id() const {
  return static_cast<std::uint64_t>(impl_->pid);
}

} // namespace vantrel::platform
