// Shared fixture and helpers of the command-application tests: captured standard streams,
// time stamps replaced by a marker, scratch files.
#pragma once

#include "commandApplication/CmdApp.h"
#include "commandOptions/DriverHelpText.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace vantrel::commandApplication::test {

/// Replaces the leading time stamp of every console line ("Dec 6, 2026 7:27:29 AM") with
/// "<T>"; a line whose stamp does not have that shape is left unchanged (and so fails the
/// comparison that follows).
std::string maskConsoleStamps(const std::string &text);
/// Replaces the time stamp of every log-file header line ("Dec 06, 2026 7:27:29 AM") with
/// "<T>".
std::string maskFileStamps(const std::string &text);
/// The help text of a tool with only the standard options ("\n" line ends; pass it
/// through nl for the console).
using commandOptions::test::STANDARD_HELP;

/// Text with "\n" replaced by the platform line separator.
std::string nl(const std::string &text);
/// A path for a scratch file of this test, in the temporary folder; any earlier file of
/// that name is removed.
std::string scratchFile(const std::string &suffix);
/// The whole file as text ("<missing>" when it cannot be read).
std::string readText(const std::string &path);

/// Captures standard output and standard error for the test, and leaves no console record
/// pending for the next test.
class CapturedStreams : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;
  /// Flushes every logger (as the exit does) and returns standard output so far.
  std::string outAfterExitFlush();
  std::ostringstream out_;
  std::ostringstream err_;
};

} // namespace vantrel::commandApplication::test
