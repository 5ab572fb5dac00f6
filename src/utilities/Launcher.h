// The external process runner: starts one program as a child and collects its standard
// output and error while it runs, without ever blocking the caller.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/process.h"

namespace vantrel::utilities {

class LauncherThread;

/// Runs one external program. launch() starts the child and its watcher thread; the caller
/// then polls running() and takes the collected output with read() as often as it likes.
/// Once running() has returned false every byte the child wrote is already collected, so
/// one read() after the polling loop returns the rest.
///
/// Bytes pass through unchanged (a Windows child's CR LF stays CR LF). One caller thread
/// drives an instance; the watcher is the only other thread that touches it.
class Launcher {
public:
  /// A runner for the program command[0] with the other elements as its arguments; the
  /// child inherits this process's environment.
  static std::unique_ptr<Launcher> getInstance(std::vector<std::string> command);
  static std::unique_ptr<Launcher> getInstance(std::initializer_list<std::string> command);
  /// As above; the child gets exactly the listed "NAME=value" entries as its environment
  /// (nothing: it inherits this process's).
  static std::unique_ptr<Launcher> getInstance(std::vector<std::string> command,
                                               std::optional<std::vector<std::string>> environment);
  /// A runner for a command given as one string, split at every blank (see splitAtBlanks:
  /// no quoting is recognised).
  static std::unique_ptr<Launcher> getInstance(const std::string &commandLine);

  /// Stops a child that is still running (forcibly) and waits for the watcher to end, so
  /// that no thread outlives the object.
  ~Launcher();
  Launcher(const Launcher &) = delete;
  Launcher &operator=(const Launcher &) = delete;

  /// Starts the child and the watcher and returns once the watcher is active. false when
  /// the program cannot be started (then there is no watcher, running() is false, read()
  /// gives "" and exitValue() -1; launchError() tells why) or when this object has already
  /// started a child (one launch per object).
  bool launch();

  /// True while the watcher is active and the child has not been seen to end.
  bool running();

  /// All standard output collected since the previous read(), removed from the collection;
  /// "" before a launch or when nothing new has arrived. With a line filter set, only the
  /// complete lines that begin with the filter, each followed by "\n"; a line still being
  /// written stays collected until its end arrives or the child has ended.
  std::string read();

  /// The same as read() for standard error (the line filter applies too).
  std::string readStdErr();

  /// One line from the front of the collected standard output (see takeLine): leading
  /// line breaks are skipped and the breaks after the line removed. Nothing when no
  /// complete line is collected.
  std::optional<std::string> readLine();

  /// The same as readLine() for standard error.
  std::optional<std::string> readLineStdErr();

  /// Writes text to the child's standard input, which stays open afterwards. false when
  /// no child was started, the child has closed its input (it ended, for instance), after
  /// closeInput() or on any other I/O error.
  bool write(const std::string &text);

  /// Closes the child's standard input: it reads the end of its input from then on, so a
  /// program that asks a question is never left waiting for an answer. Nothing when no
  /// child was started.
  void closeInput();

  /// The child's exit status; -1 when no child exists or it has not ended yet. A child
  /// killed by POSIX signal S gives 128 + S.
  int exitValue();

  /// How the child ended, as the OS reports it; Running when none was started or it has
  /// not ended yet.
  platform::ChildStatus childStatus();

  /// Sets (or, with nothing, clears) the line prefix filter of read() and readStdErr().
  void setOutputFilter(std::optional<std::string> prefix);

  /// Terminates the child forcibly and waits up to 1000 ms for the watcher to see it end;
  /// then drops the child and the collected output (read() gives "" afterwards). Throws
  /// IllegalStateError(STILL_RUNNING_AFTER_DESTROY) when it is still seen running.
  void destroy();

  /// "Launcher[commandLine=" + the command elements joined by single blanks + "]".
  std::string toString() const;

  /// Why the last launch() failed ("" when it did not).
  const std::string &launchError() const { return launchError_; }

  /// Runs the command to its end (polling every 10 ms) and returns its whole standard
  /// output when it exits with 0; nothing when it cannot be started or exits otherwise.
  static std::optional<std::string> runCommand(std::vector<std::string> command);
  static std::optional<std::string> runCommand(std::initializer_list<std::string> command);
  /// The same with the command given as one string split at every blank.
  static std::optional<std::string> runCommand(const std::string &commandLine);

private:
  friend class LauncherThread;
  /// Tests reach the watcher's state through this to stage states a real child cannot
  /// reach on demand (a watcher that never reports the end).
  friend struct LauncherTestSeam;

  /// Text collected from one stream, guarded by its own lock; absent before a launch and
  /// after destroy().
  struct OutputBuffer {
    std::mutex lock;
    std::optional<std::string> text;
    void append(const char *data, std::size_t n);
  };

  Launcher(std::vector<std::string> command, std::optional<std::vector<std::string>> environment);
  std::string take(OutputBuffer &buffer);
  std::optional<std::string> takeLineFrom(OutputBuffer &buffer);

  std::vector<std::string> myCommandArray;
  std::optional<std::vector<std::string>> myEnvironmentArray;
  std::unique_ptr<LauncherThread> launcherThread;

  // The instance lock guards iAmRunning, iHaveRun, the filter and the launch handshake.
  std::mutex instanceLock;
  std::condition_variable instanceCondition;
  bool iAmRunning = false;
  bool iHaveRun = false;
  bool started_ = false;
  std::optional<std::string> outputLineFilter;

  // The child with its three pipes (the two output readers and the input writer); set by
  // launch() before the watcher starts and dropped by destroy() after it has ended.
  std::unique_ptr<platform::ChildProcess> myProcess;
  OutputBuffer myProcessOutput;
  OutputBuffer myProcessStdErrOutput;
  std::string launchError_;
};

} // namespace vantrel::utilities
