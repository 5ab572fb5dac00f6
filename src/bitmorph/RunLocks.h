// The locks a run holds while it writes its files: runs that would write the same files
// take turns on them.
#pragma once

#include "bitmorph/RunPlan.h"
#include "platform/fileLock.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vantrel::bitmorph {

/// Every lock of a plan (RunPlan::lockFiles), held while the object lives.
class RunLocks {
public:
  /// Takes the locks in order, waiting while another run holds one; onWait is called with
  /// the lock file's name once before the first wait on each. When one cannot be taken
  /// (an unwritable folder, a file of that name that is no lock file), those already taken
  /// are let go again and held() is false: the run must not go on unguarded.
  RunLocks(const RunPlan &plan, const std::function<void(const std::string &lockFile)> &onWait);

  /// True when every lock is held.
  bool held() const { return failedLock_.empty(); }
  /// The lock file that could not be taken ("" when all are held).
  const std::string &failedLock() const { return failedLock_; }
  /// Why it could not be taken.
  const std::string &reason() const { return reason_; }

private:
  std::vector<std::unique_ptr<platform::FileLock>> locks_;
  std::string failedLock_;
  std::string reason_;
};

} // namespace vantrel::bitmorph
