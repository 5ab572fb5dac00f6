// Test helpers that need the OS: running a program with a changed environment and reading
// its output and exit code, changing the test's own environment, and host path forms.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace launcher_test {

/// Environment changes for a child: a value sets the variable, nothing removes it.
using EnvChanges = std::vector<std::pair<std::string, std::optional<std::string>>>;

/// What a finished program left.
struct RunResult {
  bool started = false;         ///< false when the program could not be started
  std::uint32_t startError = 0; ///< why it could not be started (errno or Windows error code)
  std::uint32_t exitCode = 0;   ///< all 32 bits on Windows; 0..255 on POSIX
  std::string out;              ///< standard output, CR LF turned into LF
  std::string err;              ///< standard error, CR LF turned into LF
};

/// Runs program with args (each passed intact) in the test's environment changed by env;
/// standard output and error go to files that are read back.
RunResult runProgram(const std::string &program, const std::vector<std::string> &args, const EnvChanges &env);

/// Sets (value) or removes (nothing) a variable of the test process itself.
void setEnv(const std::string &name, const std::optional<std::string> &value);

/// Value of a variable of the test process; nothing when unset.
std::optional<std::string> getEnv(const std::string &name);

/// The path a program of this platform uses for a path of the build machine (under Wine,
/// /a/b becomes Z:\a\b).
std::string hostPath(const std::string &buildPath);

/// A new, empty, all-lower-case directory under the build machine's /tmp, in host form.
std::string makeTempDir(const std::string &tag);

/// Removes every folder makeTempDir made so far.
void removeTempDirs();

/// The test process's id.
unsigned long currentProcessId();

/// Separator of the PATH list (';' or ':').
char pathListSeparator();

/// Suffix of executables ("" or ".exe").
std::string exeSuffix();

} // namespace launcher_test
