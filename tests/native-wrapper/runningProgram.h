// Test helper: a program started without waiting for it, so that a test can stop it while it
// runs, and whether a process (found by its id) still runs. runningProgram_posix.cpp and
// runningProgram_win32.cpp define it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "support/ProcessControl.h"

namespace launcher_test {

using vantrel::testing::deliverConsoleEvent;
using vantrel::testing::processRuns;

/// A started program; the destructor ends it at once if it still runs.
class RunningProgram {
public:
  /// Starts program with args (each passed intact, UTF-8) in the test's own environment, its
  /// output going nowhere. With ownGroup it leads a process group of its own (a POSIX
  /// process group; a Windows console process group), so that interruptGroup reaches it and
  /// its children but not the test.
  RunningProgram(const std::string &program, const std::vector<std::string> &args, bool ownGroup = false);
  ~RunningProgram();
  RunningProgram(const RunningProgram &) = delete;
  RunningProgram &operator=(const RunningProgram &) = delete;

  /// Whether the program was started.
  bool started() const { return handle != 0; }
  /// Its process id.
  unsigned long pid() const { return id; }
  /// Sends a POSIX signal to the program alone; false where there are no signals.
  bool signal(int number);
  /// Interrupts the program's whole group as a terminal's Ctrl-C does (SIGINT to the group)
  /// or, on Windows, as Ctrl-Break on its console does; false when the platform refused.
  bool interruptGroup();
  /// Waits up to millis for the program's end: its exit status (128 + S for a POSIX signal
  /// death, all 32 bits on Windows), or nothing while it still runs.
  std::optional<std::uint32_t> waitFor(int millis);
  /// The POSIX signal that ended it, once waitFor saw its end; 0 when it exited.
  int endSignal() const { return signal_; }

private:
  std::intptr_t handle = 0;
  unsigned long id = 0;
  std::optional<std::uint32_t> status;
  int signal_ = 0;
};

} // namespace launcher_test
