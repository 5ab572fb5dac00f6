// Test helper: runs the test driver program as a child with the test tools on PATH and
// collects its output and exit code, and cleans the console log lines.
#pragma once

#include "SrecordDecoder.h"
#include "support/ChildRun.h"

#include <string>
#include <vector>

namespace vantrel::bitmorph::test {

/// What one driver run printed and returned.
struct DriverResult {
  int exitCode = -1;
  std::string out;                ///< standard output
  std::string err;                ///< standard error
  std::vector<std::string> lines; ///< standard output split into lines, log prefixes cleaned
};

/// Runs the driver with args. env holds extra "NAME=value" entries; with tools the folder of
/// the converter and object-copy tool under test comes first on PATH, else PATH holds
/// neither of them; pathFront (when given) goes before everything. program (when given)
/// runs in place of the driver.
DriverResult runDriver(const std::vector<std::string> &args, const std::vector<std::string> &env = {},
                       bool tools = true, const std::string &pathFront = "", const std::string &program = "");

/// The environment of a driver run: this process's, without PATH and the test tools'
/// BM_... settings, then PATH (with the test tools' folder first when tools, and pathFront
/// before everything), then env.
std::vector<std::string> driverEnvironment(const std::vector<std::string> &env, bool tools,
                                           const std::string &pathFront);

/// A driver run started in the background, with the test tools first on PATH and extra
/// "NAME=value" entries in its environment.
class BackgroundRun {
public:
  BackgroundRun(const std::vector<std::string> &args, const std::vector<std::string> &env,
                const std::string &program = BM_DRIVER_PATH);

  /// Standard output collected so far (all of it, each call).
  const std::string &outputSoFar();
  /// Waits for the end and returns what the run printed and its exit code.
  DriverResult finish();

private:
  testing::BackgroundChild child_;
};

/// Runs a program (found on PATH) with args and returns its exit status, -1 when it could
/// not be started; its output is dropped.
int runProgram(const std::vector<std::string> &command);

/// A console log line "Dec 7, 2026 11:30:00 AM - (SEVERE) bitmorph: text" becomes
/// "(SEVERE) bitmorph: text"; other lines stay as they are.
std::string cleanLogLine(const std::string &line);

using vantrel::testing::hostPath;

} // namespace vantrel::bitmorph::test
