// POSIX side of child processes: posix_spawn with three close-on-exec pipes, FIONREAD for
// "how much can be read now", waitpid(WNOHANG) for the status, SIGTERM to ask a child to
// end, SIGKILL to terminate, kill(pid, 0) to find a process.
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <mutex>
#include <pthread.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/PlatformMessages.h"
#include "platform/environment.h"
#include "platform/interruptRegistry.h"
#include "platform/process.h"
#include "platform/processSpawn.h"

extern char **environ;

namespace vantrel::platform {

struct ChildProcess::Impl {
  pid_t pid = -1;
  int input = -1;  // write end of the child's standard input
  int output = -1; // read end of its standard output
  int error = -1;  // read end of its standard error
  std::mutex statusMutex;
  bool ended = false; // the child has been reaped; its pid may belong to another process
  ChildStatus finalStatus;

  int fd(ChildStream stream) const { return stream == ChildStream::Output ? output : error; }
};

namespace {

std::string describe(int err) {
  return std::strerror(err);
}

void closeFd(int &fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

bool isExecutableFile(const std::string &path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

/// Owns the pipe ends and spawn objects while start() builds the child.
struct SpawnParts {
  int in[2] = {-1, -1};
  int out[2] = {-1, -1};
  int err[2] = {-1, -1};
  ~SpawnParts() {
    for (int *p : {in, out, err}) {
      closeFd(p[0]);
      closeFd(p[1]);
    }
  }
};

} // namespace

std::string detail::searchPath() {
  // Without PATH the same default as the C library's exec functions applies.
  return getEnvironmentVariable("PATH").value_or("/bin:/usr/bin");
}

std::optional<std::string> detail::programFile(const std::string &path) {
  if (isExecutableFile(path)) return path;
  return std::nullopt;
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
  status(); // reaps a child that has already ended, so that no zombie stays behind
}

std::unique_ptr<ChildProcess> ChildProcess::spawn(const std::string &program,
                                                  const std::vector<std::string> &command,
                                                  const std::optional<std::vector<std::string>> &environment,
                                                  std::string &error) {
  SpawnParts parts;
  // Close-on-exec everywhere: the dup2 actions below give the child its three ends, and
  // no other child started meanwhile inherits any of them.
  if (::pipe2(parts.in, O_CLOEXEC) != 0 || ::pipe2(parts.out, O_CLOEXEC) != 0 ||
      ::pipe2(parts.err, O_CLOEXEC) != 0) {
    error = msg::CANNOT_CREATE_PIPES + describe(errno);
    return nullptr;
  }

  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  ::posix_spawn_file_actions_init(&actions);
  ::posix_spawnattr_init(&attributes);
  ::posix_spawn_file_actions_adddup2(&actions, parts.in[0], STDIN_FILENO);
  ::posix_spawn_file_actions_adddup2(&actions, parts.out[1], STDOUT_FILENO);
  ::posix_spawn_file_actions_adddup2(&actions, parts.err[1], STDERR_FILENO);
  // The child starts with no signals blocked and SIGPIPE at its default, whatever this
  // process does with them.
  sigset_t none, pipeOnly;
  sigemptyset(&none);
  sigemptyset(&pipeOnly);
  sigaddset(&pipeOnly, SIGPIPE);
  ::posix_spawnattr_setsigmask(&attributes, &none);
  ::posix_spawnattr_setsigdefault(&attributes, &pipeOnly);
  ::posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

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

  pid_t pid = -1;
  const int rc = ::posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(),
                               environment ? envp.data() : environ);
  ::posix_spawn_file_actions_destroy(&actions);
  ::posix_spawnattr_destroy(&attributes);
  if (rc != 0) {
    error = detail::cannotRunProgram(command[0], describe(rc));
    return nullptr;
  }

  auto impl = std::make_unique<Impl>();
  impl->pid = pid;
  impl->input = parts.in[1];
  impl->output = parts.out[0];
  impl->error = parts.err[0];
  parts.in[1] = parts.out[0] = parts.err[0] = -1; // now owned by impl; the rest closes here
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
  // A write to a pipe whose reader has gone raises SIGPIPE, which would end this process.
  // It is blocked in this thread for the write, and one raised by the write is taken back
  // before the old mask returns, so the failure shows only as EPIPE.
  sigset_t pipeOnly, oldMask, pending;
  sigemptyset(&pipeOnly);
  sigaddset(&pipeOnly, SIGPIPE);
  sigemptyset(&pending);
  ::sigpending(&pending);
  const bool alreadyPending = sigismember(&pending, SIGPIPE) == 1;
  ::pthread_sigmask(SIG_BLOCK, &pipeOnly, &oldMask);

  const char *p = static_cast<const char *>(data);
  bool ok = true;
  bool brokenPipe = false;
  while (n > 0) {
    const ssize_t put = ::write(impl_->input, p, n);
    if (put < 0) {
      if (errno == EINTR) continue;
      brokenPipe = errno == EPIPE;
      ok = false;
      break;
    }
    p += put;
    n -= static_cast<std::size_t>(put);
  }

  if (brokenPipe && !alreadyPending) {
    const struct timespec noWait = {0, 0};
    while (::sigtimedwait(&pipeOnly, nullptr, &noWait) < 0 && errno == EINTR) {
    }
  }
  ::pthread_sigmask(SIG_SETMASK, &oldMask, nullptr);
  return ok;
}

ChildStatus ChildProcess::status() {
  std::lock_guard<std::mutex> lock(impl_->statusMutex);
  if (impl_->ended) return impl_->finalStatus;
  int raw = 0;
  pid_t r;
  do
    r = ::waitpid(impl_->pid, &raw, WNOHANG);
  while (r < 0 && errno == EINTR);
  if (r == 0) return ChildStatus{};
  ChildStatus done;
  if (r < 0) {
    // Reaped elsewhere (SIGCHLD ignored, for instance): it has ended, status unknown.
    done.state = ChildStatus::State::Failed;
    done.code = errno;
  } else if (WIFSIGNALED(raw)) {
    done.state = ChildStatus::State::Signaled;
    done.code = WTERMSIG(raw);
  } else if (WIFEXITED(raw)) {
    done.state = ChildStatus::State::Exited;
    done.code = WEXITSTATUS(raw);
  } else {
    return ChildStatus{}; // stopped or continued: still alive
  }
  impl_->ended = true;
  impl_->finalStatus = done;
  return done;
}

bool ChildProcess::terminate() {
  std::lock_guard<std::mutex> lock(impl_->statusMutex);
  // Once reaped, the pid may already name an unrelated process.
  if (impl_->ended) return false;
  return ::kill(impl_->pid, SIGKILL) == 0;
}

bool ChildProcess::askToEnd() {
  std::lock_guard<std::mutex> lock(impl_->statusMutex);
  if (impl_->ended) return false;
  return ::kill(impl_->pid, SIGTERM) == 0;
}

bool endedByInterruption(const ChildStatus &status) {
  return status.state == ChildStatus::State::Signaled &&
         (status.code == SIGINT || status.code == SIGTERM || status.code == SIGHUP);
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
