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
#include <optional>
#include <string>

#include "platform/file.h"
#include "platform/process.h"

namespace vantrel::platform {

/// What the clean-up after an interruption does with one registered file.
enum class OnInterrupt {
  Remove,          ///< removed when this run produced it, complete or not
  KeepWhenComplete ///< removed only while the step that writes it has not completed
};

/// How long the clean-up gives a child that was asked to end before it kills it.
inline constexpr std::int64_t CHILD_GRACE_MILLIS = 2000;

/// Registers path for the clean-up after an interruption. The file is removed only when
/// this run produced it: a file exists at path and either none existed before (before is
/// nothing) or it differs from before (see changedSince). Register a name before the file
/// is created; registering it again replaces the entry.
void removeFileOnInterrupt(const std::string &path, const std::optional<FileStatus> &before = std::nullopt,
                           OnInterrupt what = OnInterrupt::Remove);

/// Takes path out of the registration: the file became a result or is gone.
void dontRemoveFileOnInterrupt(const std::string &path);

/// Marks one registered file complete (its writer has closed it).
void markFileCompleteOnInterrupt(const std::string &path);

/// Marks every registered file that exists now complete: the step that wrote them has
/// ended by itself, and no other writer is at work.
void markFilesCompleteOnInterrupt();

/// Returns at once, unless an interruption has arrived: then it never returns, because the
/// clean-up ends the process. Called where a run would otherwise go on with the results of
/// a child that the clean-up stopped.
void stopIfInterrupted();

/// The same for a run whose child has just ended as child tells. A child that ended by an
/// interruption was most likely stopped together with this process (a Ctrl-C reaches the
/// whole console or process group, and a Windows console event arrives on a thread of its
/// own, a moment later): with the handlers installed, this process's own interruption is
/// awaited for up to INTERRUPT_ARRIVAL_MILLIS, so that the run never goes on with what the
/// stopped child left half written.
void stopIfInterrupted(const ChildStatus &child);

/// How long stopIfInterrupted(child) awaits this process's own interruption.
inline constexpr std::int64_t INTERRUPT_ARRIVAL_MILLIS = 2000;

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
