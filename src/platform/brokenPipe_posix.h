// POSIX only: a write to a pipe or FIFO whose reader has gone fails with EPIPE instead of
// ending this process by SIGPIPE.
#pragma once

#include <cerrno>
#include <csignal>
#include <ctime>
#include <pthread.h>

namespace vantrel::platform::detail {

/// While it lives, SIGPIPE is blocked in this thread; a SIGPIPE raised by a write of this
/// thread meanwhile is taken back before the old mask returns, so the write's failure shows
/// only as EPIPE and the caller can say so (a process ended by SIGPIPE cleans up nothing).
/// One that was already pending before is left for its owner.
class BrokenPipeGuard {
public:
  BrokenPipeGuard() {
    sigemptyset(&pipeOnly_);
    sigaddset(&pipeOnly_, SIGPIPE);
    sigset_t pending;
    sigemptyset(&pending);
    ::sigpending(&pending);
    alreadyPending_ = sigismember(&pending, SIGPIPE) == 1;
    ::pthread_sigmask(SIG_BLOCK, &pipeOnly_, &oldMask_);
  }
  ~BrokenPipeGuard() {
    const int error = errno; // the write's reason, for the caller to tell
    if (broken_ && !alreadyPending_) {
      const struct timespec noWait = {0, 0};
      while (::sigtimedwait(&pipeOnly_, nullptr, &noWait) < 0 && errno == EINTR) {
      }
    }
    ::pthread_sigmask(SIG_SETMASK, &oldMask_, nullptr);
    errno = error;
  }
  BrokenPipeGuard(const BrokenPipeGuard &) = delete;
  BrokenPipeGuard &operator=(const BrokenPipeGuard &) = delete;

  /// A write failed with EPIPE: the SIGPIPE it raised is taken back at the end.
  void sawBrokenPipe() { broken_ = true; }

private:
  sigset_t pipeOnly_;
  sigset_t oldMask_;
  bool alreadyPending_ = false;
  bool broken_ = false;
};

} // namespace vantrel::platform::detail
