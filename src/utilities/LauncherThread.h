// The watcher thread of the process runner: drains a child's two pipes every 10 ms and
// notices when the child has ended.
#pragma once

#include <thread>

#include "platform/process.h"
#include "utilities/Launcher.h"

namespace vantrel::utilities {

/// Watches the child of one Launcher. Created with the launcher, started by launch(); it
/// ends by itself when the child has ended and its output has been drained for the last
/// time, in the same locked step that clears running().
class LauncherThread {
public:
  explicit LauncherThread(Launcher &owner) : owner_(owner) {}
  /// Waits for the thread to end (it ends once the child has ended).
  ~LauncherThread() { join(); }
  LauncherThread(const LauncherThread &) = delete;
  LauncherThread &operator=(const LauncherThread &) = delete;

  /// Starts the thread; called once, after the child has been started.
  void start();
  /// Waits for the thread to end; does nothing when it was never started or has been joined.
  void join();

private:
  void run();
  /// Moves everything the stream has ready into buffer, in chunks of at most 1024 bytes,
  /// without ever blocking. A read error is appended as text and ends this pass.
  void drain(platform::ChildStream stream, Launcher::OutputBuffer &buffer);

  Launcher &owner_;
  std::thread thread_;
};

} // namespace vantrel::utilities
