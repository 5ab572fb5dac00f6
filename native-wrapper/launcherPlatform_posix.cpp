// The launcher's OS layer on Linux: /proc/self/exe, opendir, mkstemps, the search of PATH,
// posix_spawn and waitpid. Only POSIX calls for the launcher live here.
#include "launcherPlatform.h"

#include "hostText/ProgramSearch.h"
#include "hostText/WindowsCommandLine.h"

#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

extern char **environ;

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

bool startProcess(const std::string &commandString, FileHandle stdoutFile, ChildProcess &child) {
  if (takeInjectedFailure(FailPoint::ProcessStart)) return false;
  // The child gets the arguments a Windows child's C runtime would make of the same string.
  std::vector<std::string> words = vantrel::hostText::splitWindowsCommandLine(commandString);
  const std::optional<std::string> program = findProgram(words[0]);
  if (!program) {
    errno = ENOENT;
    return false;
  }
  std::vector<char *> argv;
  for (std::string &word : words)
    argv.push_back(word.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (stdoutFile != kNoFile)
    posix_spawn_file_actions_adddup2(&actions, static_cast<int>(stdoutFile), STDOUT_FILENO);
  pid_t pid = 0;
  // posix_spawn reports a failed exec as its result, so a program that cannot run is a
  // failed start rather than a child exit code.
  int rc = posix_spawn(&pid, program->c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) {
    errno = rc;
    return false;
  }
  child.handle = pid;
  return true;
}

bool waitForExit(ChildProcess &child, int &exitCode) {
  int status = 0;
  pid_t pid = static_cast<pid_t>(child.handle);
  for (;;) {
    if (waitpid(pid, &status, 0) == pid) break;
    if (errno != EINTR) return false;
  }
  if (takeInjectedFailure(FailPoint::ProcessWait)) return false;
  if (WIFEXITED(status))
    exitCode = WEXITSTATUS(status);
  else if (WIFSIGNALED(status))
    exitCode = 128 + WTERMSIG(status);
  else
    exitCode = -1;
  return true;
}

} // namespace vantrel::launcher::platform
