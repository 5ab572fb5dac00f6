// Interrupted runs for every OS: the files a run is writing and the children it waits for,
// cleaned up when the process is stopped by SIGINT, SIGTERM or SIGHUP (POSIX) or by a
// console's Ctrl-C, Ctrl-Break or close (Windows), before it ends with the status of that
// interruption.
//
// A file is registered before it is created and taken out when it becomes a result. Every
// child started through ChildProcess is registered while it exists. The handlers are
// installed only by an entry point (InterruptHandlers), never by a library call.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

#include "platform/file.h"

namespace vantrel::platform {

/// How long the clean-up gives a child that was asked to end before it kills it.
inline constexpr std::int64_t CHILD_GRACE_MILLIS = 2000;

/// Registers path for the clean-up after an interruption. The file is removed only when
/// this run produced it: a file exists at path and either none existed before (before is
/// nothing) or it differs from before (see changedSince). Register a name before the file
/// is created; registering it again replaces the entry. What a run keeps when it is
/// stopped (a complete intermediate with --save) is simply not registered, or taken out.
void removeFileOnInterrupt(const std::string &path, const std::optional<FileStatus> &before = std::nullopt);

/// Takes path out of the registration: the file became a result, is kept, or is gone.
void dontRemoveFileOnInterrupt(const std::string &path);

/// Registers kept, a file set aside from path (setFileAside), to be put back at path by the
/// clean-up after an interruption, once the registered files are removed: what the run
/// wrote at path goes, and the earlier file comes back whole. Registering path again
/// replaces the entry.
void restoreFileOnInterrupt(const std::string &path, const std::string &kept);

/// Takes path out of the restorations: its earlier file is back, or no longer wanted.
void dontRestoreFileOnInterrupt(const std::string &path);

/// While one exists, the clean-up after an interruption waits: the changes a thread makes
/// to the registration, and to the files it names, under one hold are seen by the clean-up
/// all or not at all. Hold it only for a few renames and registrations.
class CleanUpHold {
public:
  CleanUpHold();
  ~CleanUpHold();
  CleanUpHold(const CleanUpHold &) = delete;
  CleanUpHold &operator=(const CleanUpHold &) = delete;

private:
  std::unique_lock<std::recursive_mutex> lock_;
};

/// Returns at once, unless an interruption has arrived: then it never returns, because the
/// clean-up ends the process. Called where a run would otherwise go on with the results of
/// a child that the clean-up stopped, and where a run lets go of its files at its end.
/// Never waits for an interruption that has not arrived.
void stopIfInterrupted();

/// Installs the handlers for the lifetime of the object: SIGINT, SIGTERM and SIGHUP
/// (POSIX; a signal that was ignored when the process started stays ignored) or Ctrl-C,
/// Ctrl-Break and console close (Windows). On an interruption the children are asked to
/// end (on POSIX each child's whole process group receives the signal this process
/// received), given CHILD_GRACE_MILLIS, then killed and waited for; then the registered files
/// this run produced are removed, and the process ends as that interruption ends a
/// program: by the same signal (a shell shows 128 + N), or with STATUS_CONTROL_C_EXIT
/// (0xC000013A) on Windows. The destructor puts back the handlers that were there before.
/// Only entry points create one; a second one while the first exists does nothing.
class InterruptHandlers {
public:
  InterruptHandlers();
  ~InterruptHandlers();
  InterruptHandlers(const InterruptHandlers &) = delete;
  InterruptHandlers &operator=(const InterruptHandlers &) = delete;

private:
  bool installed_ = false;
};

} // namespace vantrel::platform
