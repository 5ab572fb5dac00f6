// The run lock of a base name and the registration of the run's files for an interruption.
#include "bitmorph/RunInterruption.h"

#include "platform/interrupt.h"

namespace vantrel::bitmorph {

std::unique_ptr<platform::FileLock> lockRun(const RunPlan &plan, const std::function<void()> &onWait) {
  return platform::FileLock::acquire(plan.files.lock, onWait);
}

RunFilesOnInterrupt::RunFilesOnInterrupt(const RunPlan &plan, const RunSnapshot &snapshot) {
  const platform::OnInterrupt intermediate =
      plan.save ? platform::OnInterrupt::KeepWhenComplete : platform::OnInterrupt::Remove;
  for (const std::string &name : plan.intermediates())
    names_.push_back(name);
  // The loader flow writes its results under their own names (the object-copy tool writes
  // the image before it is cut): until the run is over they are no results.
  if (plan.loader()) names_.push_back(plan.files.flash);
  for (const std::string &name : names_) {
    // What is known of a name's past comes from the snapshot; a name without one is never
    // the run's to remove.
    if (!snapshot.isRecorded(name)) continue;
    const bool result = plan.loader() && (name == plan.files.flash || name == plan.files.optionBits);
    platform::removeFileOnInterrupt(name, snapshot.stateBefore(name),
                                    result ? platform::OnInterrupt::Remove : intermediate);
  }
}

RunFilesOnInterrupt::~RunFilesOnInterrupt() {
  for (const std::string &name : names_)
    platform::dontRemoveFileOnInterrupt(name);
}

} // namespace vantrel::bitmorph
