// POSIX side of the lock between processes: flock on the lock file, checked after locking to
// be the file still at the path, since every holder removes the file before it lets go.
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/PlatformMessages.h"
#include "platform/fileLock.h"
#include "platform/interrupt.h"
#include "platform/systemError.h"

namespace vantrel::platform {

namespace {

/// Opens the lock file, creating it when missing; -1 when neither works.
int openLockFile(const std::string &path) {
  for (;;) {
    int fd;
    do
      fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    while (fd < 0 && errno == EINTR);
    if (fd >= 0 || errno != EEXIST) return fd;
    do
      fd = ::open(path.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    if (fd >= 0 || errno != ENOENT) return fd;
    // Removed by its holder between the two opens: create it anew.
  }
}

} // namespace

std::unique_ptr<FileLock> FileLock::acquire(const std::string &path, const std::function<void()> &onWait,
                                            std::string &reason) {
  bool waited = false;
  for (;;) {
    const int fd = openLockFile(path);
    if (fd < 0) {
      reason = detail::describeSystemError(errno);
      return nullptr;
    }
    struct stat held;
    if (::fstat(fd, &held) != 0 || !S_ISREG(held.st_mode) || held.st_size != 0) {
      ::close(fd);
      reason = msg::NOT_A_LOCK_FILE; // a file of somebody's
      return nullptr;
    }
    int locked = ::flock(fd, LOCK_EX | LOCK_NB);
    if (locked != 0 && errno == EWOULDBLOCK) {
      if (!waited && onWait) onWait();
      waited = true;
      do
        locked = ::flock(fd, LOCK_EX);
      while (locked != 0 && errno == EINTR);
    }
    if (locked != 0) {
      reason = detail::describeSystemError(errno);
      ::close(fd);
      return nullptr;
    }
    // The holder before this one removed the file before letting go: a lock on a file no
    // longer at the path locks nothing, so the path is checked and the lock taken anew.
    struct stat named;
    if (::lstat(path.c_str(), &named) == 0 && named.st_dev == held.st_dev && named.st_ino == held.st_ino) {
      // Registered only now that it is held: until then the file at the path may be
      // another holder's. (Stopped before this, the run leaves an empty lock file, which
      // the next run takes over and removes.)
      removeFileOnInterrupt(path);
      return std::unique_ptr<FileLock>(new FileLock(path, fd));
    }
    ::close(fd);
  }
}

FileLock::~FileLock() {
  // Out of the registry before the name goes: once removed, the name may become another
  // process's lock file, which no clean-up of this one may touch. Removed before the lock
  // is let go, so that a waiter never holds a file that is still at the path after this
  // one left it.
  dontRemoveFileOnInterrupt(path_);
  ::unlink(path_.c_str());
  ::close(static_cast<int>(handle_));
}

} // namespace vantrel::platform
