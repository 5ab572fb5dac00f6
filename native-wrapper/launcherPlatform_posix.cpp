// The launcher's OS layer on Linux: /proc/self/exe, opendir, mkstemps, the search of PATH,
// the start of children (programStart_posix.h), waitpid, the passing on of stop signals to
// the runtime child and the end by the runtime's signal. Only POSIX calls for the launcher
// live here.
#include "launcherPlatform.h"
#include "programStart_posix.h"

#include "hostText/ProgramSearch.h"
#include "hostText/WindowsCommandLine.h"

#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vantrel::launcher::platform {

const char kPathSeparator = '/';
const char kClassPathSeparator = ':';
const bool kFoldPathCase = false;
const char *const kJreDirDefault = "PREXA_BINDIR/jre64";
const char *const kBinDirSuffix = "/bin64";
const char *const kJreOffset = "/bin64/jre64/bin/java";
const char *const kJavaProgram = "bin/java";
const char *const kVmLibraryFile = "lib/server/libjvm.so";
const char *const kSplashLibraryFile = "lib/libsplashscreen.so";

int lastError() {
  return errno;
}

void setLastError(int error) {
  errno = error;
}

std::string errorText(int error) {
  return std::strerror(error);
}

PathKind pathKind(const std::string &path) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0) return PathKind::Missing;
  return S_ISDIR(info.st_mode) ? PathKind::Folder : PathKind::File;
}

std::optional<std::string> moduleFileName() {
  // The link may be longer than any fixed buffer: grow until readlink leaves room.
  std::string buffer(256, '\0');
  for (;;) {
    ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) return std::nullopt;
    if (static_cast<size_t>(n) < buffer.size()) {
      buffer.resize(static_cast<size_t>(n));
      return buffer;
    }
    buffer.resize(buffer.size() * 2);
  }
}

std::optional<std::string> currentDirectory() {
  std::string buffer(256, '\0');
  for (;;) {
    if (getcwd(buffer.data(), buffer.size()) != nullptr) {
      buffer.resize(std::strlen(buffer.c_str()));
      return buffer;
    }
    if (errno != ERANGE) return std::nullopt;
    buffer.resize(buffer.size() * 2);
  }
}

std::optional<std::string> getEnv(const std::string &name) {
  const char *value = std::getenv(name.c_str());
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

std::vector<std::string> listDirectory(const std::string &dir) {
  std::vector<std::string> names;
  DIR *d = opendir(dir.c_str());
  if (d == nullptr) return names;
  while (const dirent *entry = readdir(d)) {
    if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
      names.emplace_back(entry->d_name);
  }
  closedir(d);
  return names;
}

std::optional<std::string> tempPath() {
  if (takeInjectedFailure(FailPoint::TempDirectory)) return std::nullopt;
  const char *dir = std::getenv("TMPDIR");
  std::string path = (dir != nullptr && *dir != '\0') ? dir : "/tmp";
  if (path.back() != '/') path += '/';
  // Like the Windows call with its 512-character buffer: a longer directory is refused,
  // and a directory that does not exist shows up when the file is made.
  if (path.size() >= 512) {
    errno = ENAMETOOLONG;
    return std::nullopt;
  }
  return path;
}

std::optional<std::string> makeTempFileName(const std::string &dir, const char *prefix) {
  std::string name = dir;
  if (!name.empty() && name.back() != '/') name += '/';
  name += prefix;
  name += "XXXXXX.tmp";
  if (takeInjectedFailure(FailPoint::TempName)) return std::nullopt;
  int fd = mkstemps(name.data(), 4);
  if (fd < 0) return std::nullopt;
  close(fd);
  return name;
}

FileHandle createInheritableFile(const std::string &name) {
  if (takeInjectedFailure(FailPoint::TempFileCreate)) return kNoFile;
  // No O_CLOEXEC: the child inherits the descriptor as its standard output.
  int fd = open(name.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600);
  return fd < 0 ? kNoFile : fd;
}

FileHandle openForReading(const std::string &name) {
  if (takeInjectedFailure(FailPoint::TempFileOpen)) return kNoFile;
  int fd = open(name.c_str(), O_RDONLY | O_CLOEXEC);
  return fd < 0 ? kNoFile : fd;
}

long readFile(FileHandle file, char *buffer, long size) {
  long total = 0;
  while (total < size) {
    ssize_t n = read(static_cast<int>(file), buffer + total, static_cast<size_t>(size - total));
    if (n < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (n == 0) break;
    total += n;
  }
  return total;
}

void closeFile(FileHandle file) {
  if (file != kNoFile) close(static_cast<int>(file));
}

bool deleteFile(const std::string &name) {
  return unlink(name.c_str()) == 0;
}

void flushStandardStreams() {
  std::fflush(stdout);
  std::fflush(stderr);
}

void writeText(FILE *stream, const std::string &text) {
  std::fwrite(text.data(), 1, text.size(), stream);
}

std::optional<std::string> findProgram(const std::string &name) {
  using vantrel::hostText::HostSystem;
  if (name.empty()) return std::nullopt;
  if (vantrel::hostText::namesFolder(name, HostSystem::Posix)) return name;
  const char *path = std::getenv("PATH");
  for (const std::string &candidate :
       vantrel::hostText::programCandidates(name, path ? path : "", HostSystem::Posix)) {
    struct stat info;
    if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(candidate.c_str(), X_OK) == 0)
      return candidate;
  }
  return std::nullopt;
}

namespace {

// Stop requests that a supervised child start passes on to the runtime child.
constexpr int kStopSignals[] = {SIGTERM, SIGINT, SIGHUP};
constexpr int kStopSignalCount = sizeof kStopSignals / sizeof kStopSignals[0];

// The child the handler passes stops on to, 0 while there is none. The handler reads it
// whole: a pid_t fits the sig_atomic_t it is kept in.
static_assert(sizeof(pid_t) <= sizeof(std::sig_atomic_t), "a process id must fit a sig_atomic_t");
volatile std::sig_atomic_t stopTarget = 0;

// What each stop signal did before the forwarding was installed; the launcher is
// single-threaded and supervises one child at a time.
struct sigaction previousActions[kStopSignalCount];
bool forwarding[kStopSignalCount] = {};
sigset_t previousMask;

extern "C" void passOnStop(int signal) {
  // Only async-signal-safe work: one kill, errno kept for the interrupted code.
  const int savedErrno = errno;
  const pid_t target = static_cast<pid_t>(stopTarget);
  if (target > 0) kill(target, signal);
  errno = savedErrno;
}

sigset_t stopSignalSet() {
  sigset_t set;
  sigemptyset(&set);
  for (int signal : kStopSignals)
    sigaddset(&set, signal);
  return set;
}

// Blocks the stop signals and installs the forwarding handler for each that is not ignored
// (a launcher started under nohup keeps SIGHUP ignored, and so does its child). The signals
// stay blocked until the child's pid is known, so none arrives while there is no target.
void beginForwarding() {
  const sigset_t stops = stopSignalSet();
  pthread_sigmask(SIG_BLOCK, &stops, &previousMask);
  struct sigaction action = {};
  action.sa_handler = passOnStop;
  action.sa_mask = stops;
  action.sa_flags = SA_RESTART;
  for (int i = 0; i < kStopSignalCount; ++i) {
    forwarding[i] = sigaction(kStopSignals[i], nullptr, &previousActions[i]) == 0 &&
                    previousActions[i].sa_handler != SIG_IGN &&
                    sigaction(kStopSignals[i], &action, nullptr) == 0;
  }
}

// Puts back what beginForwarding changed. With childEnded a stop that arrived after the
// child ended is taken as passed on (the launcher ends with the child's status either way),
// so it does not end the launcher by the restored default action an instant later; after a
// failed start a pending stop takes its own action.
void endForwarding(bool childEnded) {
  const sigset_t stops = stopSignalSet();
  pthread_sigmask(SIG_BLOCK, &stops, nullptr);
  stopTarget = 0;
  sigset_t pending;
  sigemptyset(&pending);
  sigpending(&pending);
  const struct timespec noWait = {0, 0};
  for (int i = 0; i < kStopSignalCount; ++i) {
    if (!forwarding[i]) continue;
    if (childEnded && sigismember(&pending, kStopSignals[i]) == 1) {
      sigset_t one;
      sigemptyset(&one);
      sigaddset(&one, kStopSignals[i]);
      sigtimedwait(&one, nullptr, &noWait);
    }
    sigaction(kStopSignals[i], &previousActions[i], nullptr);
    forwarding[i] = false;
  }
  pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
}

} // namespace

bool startProcess(const std::string &commandString, FileHandle stdoutFile, bool supervise,
                  ChildProcess &child) {
  if (takeInjectedFailure(FailPoint::ProcessStart)) return false;
  // The child gets the arguments a Windows child's C runtime would make of the same string.
  std::vector<std::string> words = vantrel::hostText::splitWindowsCommandLine(commandString);
  const std::optional<std::string> program = findProgram(words[0]);
  if (!program) {
    errno = ENOENT;
    return false;
  }
  ProgramStart how;
  if (stdoutFile != kNoFile) how.standardOutput = static_cast<int>(stdoutFile);
  // Linux ends the child when the thread that started it ends. The launcher has one thread,
  // which waits for the child: the signal comes only when the launcher itself is killed
  // outright. The runtime then gets a stop it can clean up after (the application removes
  // its half-written files and ends its tools); a tool command just ends.
  how.parentDeathSignal = supervise ? SIGTERM : SIGKILL;
  if (supervise) {
    beginForwarding();
    // The child runs the program with the launcher's own mask, not with the stops blocked.
    how.mask = &previousMask;
  }
  pid_t pid = 0;
  // A program that cannot run is a failed start rather than a child exit code.
  const int rc = startProgram(*program, words, how, pid);
  if (rc != 0) {
    if (supervise) endForwarding(false);
    errno = rc;
    return false;
  }
  child.handle = pid;
  child.supervised = supervise;
  if (supervise) {
    // From here on a stop reaches the child, also one that arrived while it was starting.
    stopTarget = pid;
    pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
  }
  return true;
}

bool waitForExit(ChildProcess &child, int &exitCode) {
  pid_t pid = static_cast<pid_t>(child.handle);
  if (child.supervised) {
    // Wait without reaping: while the ended child is not reaped its pid cannot be reused,
    // so a stop passed on in the meantime never reaches another process.
    siginfo_t info;
    int rc;
    do {
      rc = waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT);
    } while (rc != 0 && errno == EINTR);
    const int waitError = errno;
    endForwarding(rc == 0);
    child.supervised = false;
    if (rc != 0) {
      errno = waitError;
      return false;
    }
  }
  int status = 0;
  for (;;) {
    if (waitpid(pid, &status, 0) == pid) break;
    if (errno != EINTR) return false;
  }
  if (takeInjectedFailure(FailPoint::ProcessWait)) return false;
  child.endSignal = 0;
  if (WIFEXITED(status)) {
    exitCode = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    child.endSignal = WTERMSIG(status);
    exitCode = 128 + child.endSignal;
  } else {
    exitCode = -1;
  }
  return true;
}

void endBySignal(int signal) {
  // The launcher's own core would show nothing of the runtime's fault: none is written, also
  // not to a core-collecting program (a process that is not dumpable is never dumped).
  sigset_t coreDumping;
  sigemptyset(&coreDumping);
  for (int s : {SIGQUIT, SIGILL, SIGTRAP, SIGABRT, SIGBUS, SIGFPE, SIGSEGV, SIGSYS, SIGXCPU, SIGXFSZ})
    sigaddset(&coreDumping, s);
  if (sigismember(&coreDumping, signal) == 1) {
    const struct rlimit none = {0, 0};
    setrlimit(RLIMIT_CORE, &none);
    prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
  }
  flushStandardStreams();
  struct sigaction defaults = {};
  defaults.sa_handler = SIG_DFL;
  sigemptyset(&defaults.sa_mask);
  sigaction(signal, &defaults, nullptr);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, signal);
  pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
  // Delivered to this thread before raise returns; the default action ends the process.
  raise(signal);
}

} // namespace vantrel::launcher::platform
