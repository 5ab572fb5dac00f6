// Test helper for test-only programs: stops this process at a chosen write of its own files,
// through the platform layer's write seam, so that a test can stop a run at an exact point.
// BM_STOP_AT = SUFFIX:N:SIGNAL: before the N-th write to a file whose name ends with SUFFIX
// the process sends itself SIGNAL (2, 15 or 1; under Windows the matching console event), or
// with 9 ends itself at once as SIGKILL would. The run then goes on (on Windows once the
// event has had time to arrive) until the clean-up stops it.
#pragma once

#include <string>

#include "platform/environment.h"
#include "platform/file.h"
#include "support/ProcessControl.h"

namespace vantrel::testing {

class StopAtWrite : public platform::IoFaultHook {
public:
  StopAtWrite(std::string suffix, int nth, int signal)
      : suffix_(std::move(suffix)), nth_(nth), signal_(signal) {}

  bool allowWrite(const std::string &path, std::size_t) override {
    if (path.size() < suffix_.size() ||
        path.compare(path.size() - suffix_.size(), suffix_.size(), suffix_) != 0 || ++count_ != nth_)
      return true;
    if (signal_ == 9) {
      killProcess(ownProcessId());
    } else {
      sendStop(ownProcessId(), signal_ == 2   ? Stop::Interrupt
                               : signal_ == 1 ? Stop::HangUp
                                              : Stop::Terminate);
      awaitOwnStop();
    }
    return true;
  }

  /// Installs a hook for the whole process when BM_STOP_AT asks for one.
  static void installFromEnvironment() {
    const std::string spec = platform::getEnvironmentVariable("BM_STOP_AT").value_or("");
    const std::size_t first = spec.find(':');
    const std::size_t second = first == std::string::npos ? first : spec.find(':', first + 1);
    if (second == std::string::npos) return;
    // Never destroyed: writes at process exit may still ask it.
    static StopAtWrite *const hook =
        new StopAtWrite(spec.substr(0, first), std::stoi(spec.substr(first + 1, second - first - 1)),
                        std::stoi(spec.substr(second + 1)));
    platform::setIoFaultHook(hook);
  }

private:
  std::string suffix_;
  int nth_;
  int signal_;
  int count_ = 0;
};

} // namespace vantrel::testing
