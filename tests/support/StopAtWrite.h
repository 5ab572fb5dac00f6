// Test helper for test-only programs: stops this process at a chosen write of its own files,
// through the platform layer's write seam, so that a test can stop a run at an exact point.
// BM_STOP_AT = SUFFIX:N:SIGNAL: before the N-th write to a file whose name ends with SUFFIX
// the process sends itself SIGNAL (2, 15 or 1; under Windows the matching console event; its
// whole process group with -2, -15 or -1), or with 9 ends itself at once as SIGKILL would. The run then goes
// on (on Windows once the event has had time to arrive) until the clean-up stops it.
#pragma once

#include <optional>
#include <string>

#include "platform/environment.h"
#include "platform/file.h"
#include "support/ProcessControl.h"

namespace vantrel::testing {

/// Where and how a test program stops: "SUFFIX:N:SIGNAL" read from an environment variable.
struct StopPoint {
  std::string suffix; ///< the end of the name of the file written
  long nth = 0;       ///< which write (or chunk) of that file, from 1
  int signal = 0;     ///< 2, 15 or 1 (9: ended at once; -2, -15, -1: to the whole process group)

  /// The point an environment variable names; nothing when it is unset or malformed.
  static std::optional<StopPoint> fromEnvironment(const std::string &variable) {
    const std::string text = platform::getEnvironmentVariable(variable).value_or("");
    const std::size_t first = text.find(':');
    const std::size_t second = first == std::string::npos ? first : text.find(':', first + 1);
    if (second == std::string::npos) return std::nullopt;
    return StopPoint{text.substr(0, first), std::stol(text.substr(first + 1, second - first - 1)),
                     std::stoi(text.substr(second + 1))};
  }

  /// True when path is a file this point counts the writes of.
  bool names(const std::string &path) const {
    return path.size() >= suffix.size() &&
           path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0;
  }

  /// The stop the signal stands for.
  Stop stop() const {
    const int number = signal < 0 ? -signal : signal;
    return number == 2 ? Stop::Interrupt : number == 1 ? Stop::HangUp : Stop::Terminate;
  }

  /// Stops process pid as the point says: the stop to it or, for a negative signal, to its
  /// whole process group (a terminal's Ctrl-C); with 9 it is killed at once.
  void stopProcess(std::uint64_t pid) const {
    if (signal == 9)
      killProcess(pid);
    else if (signal < 0)
      sendStopToGroup(pid, stop());
    else
      sendStop(pid, stop());
  }
};

class StopAtWrite : public platform::IoFaultHook {
public:
  explicit StopAtWrite(StopPoint point) : point_(std::move(point)) {}

  bool allowWrite(const std::string &path, std::size_t) override {
    if (!point_.names(path) || ++count_ != point_.nth) return true;
    point_.stopProcess(ownProcessId());
    awaitOwnStop();
    return true;
  }

  /// Installs a hook for the whole process when BM_STOP_AT asks for one.
  static void installFromEnvironment() {
    const std::optional<StopPoint> point = StopPoint::fromEnvironment("BM_STOP_AT");
    if (!point) return;
    // Never destroyed: writes at process exit may still ask it.
    static StopAtWrite *const hook = new StopAtWrite(*point);
    platform::setIoFaultHook(hook);
  }

private:
  StopPoint point_;
  long count_ = 0;
};

} // namespace vantrel::testing
