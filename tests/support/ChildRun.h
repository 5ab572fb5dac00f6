// Test helper shared by every area: runs a child program to its end through the platform
// layer and collects what it wrote on its two output streams; the environment it gets;
// paths in the form the programs under test use; guards for what a test changes in its own
// process (a variable, the current folder).
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vantrel::platform {
class ChildProcess;
}

namespace vantrel::testing {

/// Environment changes for a child: a value sets the variable, nothing removes it.
using EnvChanges = std::vector<std::pair<std::string, std::optional<std::string>>>;

/// What a child run to its end wrote and how it ended; started false (and error set) when
/// it could not be started.
struct ChildRun {
  bool started = false;
  std::string error; ///< why it did not start
  std::string out;   ///< standard output, bytes as written
  std::string err;   ///< standard error, bytes as written
  int exitCode = -1; ///< exit status (all 32 bits on Windows; 128 + S for a POSIX death by signal S)
  int signal = 0;    ///< the POSIX signal S it died of; 0 when it exited
};

/// How a child is run.
struct RunOptions {
  EnvChanges changes{};                                  ///< applied to this process's environment
  std::optional<std::vector<std::string>> environment{}; ///< the child's whole environment instead
  std::string folder{};                                  ///< working folder (empty: this process's)
};

/// Starts command (program first; each element passed intact) and collects both output
/// streams until the child has ended.
ChildRun runChild(const std::vector<std::string> &command, const RunOptions &options = {});

/// A child started without waiting for it (to stop it, or to run others beside it); its
/// output is collected whenever the test asks.
class BackgroundChild {
public:
  BackgroundChild(const std::vector<std::string> &command, const RunOptions &options = {});
  ~BackgroundChild();
  BackgroundChild(const BackgroundChild &) = delete;
  BackgroundChild &operator=(const BackgroundChild &) = delete;

  bool started() const { return run_.started; }
  /// Why it did not start.
  const std::string &error() const { return run_.error; }
  /// Its OS process id (0 when it did not start).
  std::uint64_t pid() const;
  /// Collects what has arrived; all standard output so far.
  const std::string &outputSoFar();
  /// Waits for its end and returns the whole run.
  ChildRun finish();

private:
  std::unique_ptr<platform::ChildProcess> process_;
  ChildRun run_;
};

/// This process's environment with the changes applied, as "NAME=value" entries.
std::vector<std::string> environmentWith(const EnvChanges &changes);

/// The text with every CR LF turned into LF.
std::string unixLineEnds(const std::string &text);

/// The path a program of this platform uses for a path of the build machine (under Wine,
/// /a/b becomes Z:\a\b); other texts unchanged.
std::string hostPath(const std::string &buildPath);

/// Restores an environment variable of this process when the test ends.
class VariableGuard {
public:
  explicit VariableGuard(std::string name);
  ~VariableGuard();
  VariableGuard(const VariableGuard &) = delete;
  VariableGuard &operator=(const VariableGuard &) = delete;

private:
  std::string name_;
  std::optional<std::string> old_;
};

/// Makes folder the current folder until the object ends.
class CurrentFolderGuard {
public:
  explicit CurrentFolderGuard(const std::filesystem::path &folder);
  ~CurrentFolderGuard();
  CurrentFolderGuard(const CurrentFolderGuard &) = delete;
  CurrentFolderGuard &operator=(const CurrentFolderGuard &) = delete;

private:
  std::filesystem::path old_;
};

} // namespace vantrel::testing
