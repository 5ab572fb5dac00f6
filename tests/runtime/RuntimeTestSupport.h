// Helpers of the runtime and chain tests: running a program and collecting its output, paths
// in the form the programs under test use, and the locations of the built files.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace runtime_test {

/// Environment changes for a child: a value sets the variable, nothing removes it.
using EnvChanges = std::vector<std::pair<std::string, std::optional<std::string>>>;

/// What a finished program left.
struct RunResult {
  bool started = false;
  int exitCode = -1; ///< exit status (128 + S for a POSIX death by signal S)
  std::string out;   ///< standard output, CR LF turned into LF
  std::string err;   ///< standard error, CR LF turned into LF
  std::string error; ///< why it did not start
};

/// Runs command (program first; each element passed intact) with this process's
/// environment changed by env, and waits for it.
RunResult run(const std::vector<std::string> &command, const EnvChanges &env = {});

/// The path in the form a program built for this platform uses (under Wine /a/b is Z:\a\b).
std::string hostPath(const std::string &buildPath);

/// A new empty folder under the build tree's test area (build form, UTF-8): named after
/// tag, or, with name, the folder name (any UTF-8 name) inside such a folder.
std::string makeTempDir(const std::string &tag, const std::string &name = "");

/// Whether the programs under test are Windows programs.
bool isWindows();

/// Separator of class paths and PATH lists for the programs under test.
char listSeparator();

/// Copies a file (build form paths, UTF-8); false on failure.
bool copyFile(const std::string &from, const std::string &to);

/// The whole file (UTF-8 path), or nothing.
std::optional<std::string> readText(const std::string &path);

} // namespace runtime_test
