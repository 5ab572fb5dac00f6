// Test helpers of the launcher tests: running a program with a changed environment and
// reading its output and exit code (the shared runner), the test's own environment, host
// path forms and scratch folders under the build machine's /tmp.
#pragma once

#include "support/ChildRun.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace launcher_test {

using vantrel::testing::EnvChanges;
using vantrel::testing::hostPath;

/// What a finished program left.
struct RunResult {
  bool started = false;       ///< false when the program could not be started
  std::string startError;     ///< why it could not be started
  std::uint32_t exitCode = 0; ///< all 32 bits on Windows; 0..255 on POSIX
  std::string out;            ///< standard output, CR LF turned into LF
  std::string err;            ///< standard error, CR LF turned into LF
};

/// Runs program with args (each passed intact, UTF-8) in the test's environment changed by
/// env, in workingDir (or the test's own folder when empty).
RunResult runProgram(const std::string &program, const std::vector<std::string> &args, const EnvChanges &env,
                     const std::string &workingDir = "");

/// Sets (value) or removes (nothing) a variable of the test process itself.
void setEnv(const std::string &name, const std::optional<std::string> &value);

/// Value of a variable of the test process; nothing when unset.
std::optional<std::string> getEnv(const std::string &name);

/// A new, empty directory under the build machine's /tmp, in host form: a lower-case folder
/// made of tag, or, with name, the folder name (any UTF-8 name: spaces, upper case, accents,
/// characters outside every code page) inside such a folder.
std::string makeTempDir(const std::string &tag, const std::string &name = "");

/// Removes every folder makeTempDir made so far.
void removeTempDirs();

/// The test process's id.
unsigned long currentProcessId();

/// Separator of the PATH list (';' or ':').
char pathListSeparator();

/// Suffix of executables ("" or ".exe").
std::string exeSuffix();

} // namespace launcher_test
