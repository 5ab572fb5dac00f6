// The locks of a run, taken in the plan's fixed order.
#include "bitmorph/RunLocks.h"

namespace vantrel::bitmorph {

RunLocks::RunLocks(const RunPlan &plan, const std::function<void(const std::string &lockFile)> &onWait) {
  for (const std::string &lockFile : plan.lockFiles()) {
    std::string reason;
    auto lock = platform::FileLock::acquire(
        lockFile, [&] { onWait(lockFile); }, reason);
    if (!lock) {
      // Let go at once: another run may be waiting for them.
      locks_.clear();
      failedLock_ = lockFile;
      reason_ = reason;
      return;
    }
    locks_.push_back(std::move(lock));
  }
}

} // namespace vantrel::bitmorph
