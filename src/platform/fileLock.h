// A lock between processes on one machine, held on a lock file for as long as the object
// lives: runs that would write the same files take turns.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace vantrel::platform {

/// An exclusive lock on the lock file at a path. Other processes (and other objects in
/// this process) that want the same path wait until it is released.
///
/// The lock file is empty and exists only while it is held: the holder removes it when it
/// lets go, and when the process ends by an interruption (interrupt.h); on Windows the OS
/// removes it even when the process is killed. An empty one left by a killed holder on
/// POSIX (or by a power loss) is taken over by the next. A non-empty file or anything else
/// at the path is never taken for a lock file.
class FileLock {
public:
  /// Takes the lock at path, waiting as long as another holder has it; onWait (when given)
  /// is called once, before the first wait. Nothing when the lock file cannot be created
  /// or opened, or something that is not a lock file is in the way; reason then says why
  /// (the OS's words, or NOT_A_LOCK_FILE of PlatformMessages.h).
  static std::unique_ptr<FileLock> acquire(const std::string &path, const std::function<void()> &onWait,
                                           std::string &reason);
  /// The same, for a caller that needs no reason.
  static std::unique_ptr<FileLock> acquire(const std::string &path,
                                           const std::function<void()> &onWait = {}) {
    std::string reason;
    return acquire(path, onWait, reason);
  }

  /// Removes the lock file and releases the lock.
  ~FileLock();
  FileLock(const FileLock &) = delete;
  FileLock &operator=(const FileLock &) = delete;

  /// The path of the lock file.
  const std::string &path() const { return path_; }

private:
  FileLock(std::string path, std::intptr_t handle) : path_(std::move(path)), handle_(handle) {}
  std::string path_;
  std::intptr_t handle_; ///< descriptor or HANDLE
};

} // namespace vantrel::platform
