// POSIX side of the file layer: descriptors, stat, unlink and rename, symbolic links and
// canonical names, folder listing, and the flock by which a writer shows that its temporary
// file is live.
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <limits>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/brokenPipe_posix.h"
#include "platform/file.h"
#include "platform/fileHandle.h"
#include "platform/path.h"

namespace vantrel::platform {

namespace detail {

NativeHandle openForRead(const std::string &path) {
  int fd;
  do
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  while (fd < 0 && errno == EINTR);
  if (fd < 0) return INVALID_NATIVE_HANDLE;
  struct stat st;
  // A directory opens fine on POSIX but is no file to read.
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    return INVALID_NATIVE_HANDLE;
  }
  return fd;
}

NativeHandle openForWrite(const std::string &path, bool append) {
  const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (append ? O_APPEND : O_TRUNC);
  int fd;
  do
    fd = ::open(path.c_str(), flags, 0666);
  while (fd < 0 && errno == EINTR);
  return fd < 0 ? INVALID_NATIVE_HANDLE : fd;
}

NativeHandle openThrough(const std::string &path) {
  // Without a reader a FIFO would hold the open until one comes, maybe never: asked without
  // waiting, then written the usual way.
  int fd;
  do
    fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  while (fd < 0 && errno == EINTR);
  if (fd < 0) return INVALID_NATIVE_HANDLE;
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    const int error = errno;
    ::close(fd);
    errno = error;
    return INVALID_NATIVE_HANDLE;
  }
  return fd;
}

int linkTarget(const std::string &path, std::string &target) {
  target = path;
  // As many links as the OS itself follows before it calls the chain a loop.
  for (int hop = 0; hop < 40; ++hop) {
    struct stat st;
    if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return 0;
    std::string text(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
    const ssize_t length = ::readlink(target.c_str(), text.data(), text.size());
    if (length < 0) return errno;
    if (static_cast<std::size_t>(length) >= text.size()) continue; // grew meanwhile: read again
    text.resize(static_cast<std::size_t>(length));
    // A relative target is read from the link's own folder.
    target = !text.empty() && text[0] == '/' ? text : target.substr(0, lastComponentStart(target)) + text;
  }
  return ELOOP;
}

int folderError(const std::string &folder) {
  struct stat st;
  if (::stat(folder.empty() ? "." : folder.c_str(), &st) != 0) return errno;
  return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
}

NativeHandle createExclusive(const std::string &path) {
  int fd;
  do
    fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  while (fd < 0 && errno == EINTR);
  if (fd < 0) return INVALID_NATIVE_HANDLE;
  // The lock lives as long as the descriptor: another process that can take it knows that
  // no writer holds the file. A file system without locks still has the writer's process
  // id in the name to protect it.
  ::flock(fd, LOCK_EX | LOCK_NB);
  return fd;
}

bool removeUnheldTemporary(const std::string &path) {
  int fd;
  do
    fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  while (fd < 0 && errno == EINTR);
  if (fd < 0) return false;
  bool removed = false;
  struct stat held, named;
  if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
      ::lstat(path.c_str(), &named) == 0 && named.st_dev == held.st_dev && named.st_ino == held.st_ino) {
    // Locked, and the name still leads to the file that was locked: nobody writes it.
    removed = ::unlink(path.c_str()) == 0;
  }
  ::close(fd);
  return removed;
}

std::vector<std::string> listFolder(const std::string &folder) {
  std::vector<std::string> names;
  DIR *dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return names;
  while (const dirent *entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  ::closedir(dir);
  return names;
}

std::int64_t readSome(NativeHandle handle, void *buffer, std::size_t n) {
  ssize_t got;
  do
    got = ::read(static_cast<int>(handle), buffer, n);
  while (got < 0 && errno == EINTR);
  return got;
}

bool writeAll(NativeHandle handle, const void *data, std::size_t n) {
  // A FIFO whose reader quits part-way fails the write (EPIPE) rather than end the run by
  // SIGPIPE, which would leave its files behind.
  BrokenPipeGuard guard;
  const char *p = static_cast<const char *>(data);
  while (n > 0) {
    const ssize_t put = ::write(static_cast<int>(handle), p, n);
    if (put < 0) {
      if (errno == EINTR) continue;
      if (errno == EPIPE) guard.sawBrokenPipe();
      return false;
    }
    if (put == 0) return false;
    p += put;
    n -= static_cast<std::size_t>(put);
  }
  return true;
}

bool closeHandle(NativeHandle handle) {
  return ::close(static_cast<int>(handle)) == 0;
}

std::int64_t handleSize(NativeHandle handle) {
  struct stat st;
  if (::fstat(static_cast<int>(handle), &st) != 0) return -1;
  return st.st_size;
}

int replaceFile(const std::string &from, const std::string &to) {
  // rename would replace a file made read-only (a version-control workspace's file not
  // opened for edit) as readily as any other: refused as Windows refuses it, so that the
  // protection is never lost without a word.
  if (isReadOnlyFile(to)) return EACCES;
  return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

bool mayPass(int) {
  // A file open in another program never stands in the way of its replacement here.
  return false;
}

bool isReadOnlyFile(const std::string &path) {
  // Read-only as Windows means it: nobody may write it (chmod a-w), whoever asks.
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
         (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

} // namespace detail

namespace {

/// Nanoseconds since 1970, wrapping around past 2262 (unsigned arithmetic) rather than
/// overflowing: only compared for equality.
std::int64_t wrappedNanos(const struct timespec &t) {
  return static_cast<std::int64_t>(static_cast<std::uint64_t>(t.tv_sec) * 1000000000ULL +
                                   static_cast<std::uint64_t>(t.tv_nsec));
}

/// Milliseconds since 1970, rounded down (tv_nsec counts up from the second, before 1970
/// too); a time beyond what 64 bits of milliseconds hold gives the nearest one they do.
std::int64_t millisOf(const struct timespec &t) {
  std::int64_t millis = 0;
  if (__builtin_mul_overflow(static_cast<std::int64_t>(t.tv_sec), std::int64_t{1000}, &millis) ||
      __builtin_add_overflow(millis, static_cast<std::int64_t>(t.tv_nsec / 1000000), &millis))
    return t.tv_sec < 0 ? std::numeric_limits<std::int64_t>::min() : std::numeric_limits<std::int64_t>::max();
  return millis;
}

} // namespace

std::optional<FileStatus> statFile(const std::string &path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  FileStatus status;
  status.size = static_cast<std::uint64_t>(st.st_size);
  status.modifiedNanos = wrappedNanos(st.st_mtim);
  status.modifiedMillis = millisOf(st.st_mtim);
  status.changedNanos = wrappedNanos(st.st_ctim);
  status.device = static_cast<std::uint64_t>(st.st_dev);
  status.fileId = static_cast<std::uint64_t>(st.st_ino);
  status.isDirectory = S_ISDIR(st.st_mode);
  return status;
}

bool fileExists(const std::string &path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

bool removeFile(const std::string &path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::unlink(path.c_str()) == 0;
}

FileKind fileKind(const std::string &path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return FileKind::Missing;
  if (S_ISREG(st.st_mode)) return FileKind::Regular;
  if (S_ISDIR(st.st_mode)) return FileKind::Folder;
  if (S_ISFIFO(st.st_mode)) return FileKind::Fifo;
  if (S_ISCHR(st.st_mode)) return FileKind::CharacterDevice;
  if (S_ISBLK(st.st_mode)) return FileKind::BlockDevice;
  if (S_ISSOCK(st.st_mode)) return FileKind::Socket;
  return FileKind::Other;
}

std::optional<std::string> canonicalName(const std::string &path) {
  std::string folder = path.substr(0, lastComponentStart(path));
  std::string name = path.substr(folder.size());
  // "x/.." and "dir/" name a folder as a whole.
  if (name.empty() || name == "." || name == "..") {
    folder = path;
    name.clear();
  }
  char *resolved = ::realpath(folder.empty() ? "." : folder.c_str(), nullptr);
  if (!resolved) return std::nullopt;
  std::string key = resolved;
  std::free(resolved);
  struct stat st;
  if (::stat(key.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return std::nullopt;
  if (name.empty()) return key;
  if (key.back() != '/') key += '/';
  return key + name;
}

const char *lineSeparator() {
  return "\n";
}

std::uint32_t currentProcessId() {
  return static_cast<std::uint32_t>(::getpid());
}

} // namespace vantrel::platform
