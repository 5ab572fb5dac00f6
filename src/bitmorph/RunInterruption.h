// The run's side of an interruption and of other runs: the lock that runs on one base name
// take turns on, and every file the run may produce registered for the clean-up of an
// interrupted run.
#pragma once

#include "bitmorph/RunPlan.h"
#include "bitmorph/RunSnapshot.h"
#include "platform/fileLock.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vantrel::bitmorph {

/// Takes the lock of the plan's base name (RunFiles::lock), waiting while another run
/// holds it; onWait is called once before the first wait. Nothing when the lock file cannot
/// be made (an unwritable folder, a file of that name that is no lock file): the run then
/// goes on without it, as it would alone.
std::unique_ptr<platform::FileLock> lockRun(const RunPlan &plan, const std::function<void()> &onWait);

/// While it lives, every file the plan may produce is registered for the clean-up of an
/// interrupted run, with its state before the run (from snapshot), so that only a file this
/// run produced is removed. The intermediates are kept with --save once the step that wrote
/// them has completed; the loader flow's two results count as incomplete until the run is
/// over. The flash file of the other flows is written under a temporary name, which the
/// writer registers itself.
class RunFilesOnInterrupt {
public:
  RunFilesOnInterrupt(const RunPlan &plan, const RunSnapshot &snapshot);
  /// Takes every name out of the registration: the run is over, and its files are results
  /// or were cleaned up.
  ~RunFilesOnInterrupt();
  RunFilesOnInterrupt(const RunFilesOnInterrupt &) = delete;
  RunFilesOnInterrupt &operator=(const RunFilesOnInterrupt &) = delete;

  /// The names registered.
  const std::vector<std::string> &names() const { return names_; }

private:
  std::vector<std::string> names_;
};

} // namespace vantrel::bitmorph
