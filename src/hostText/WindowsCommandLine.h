// The Windows command-line rules: the line that a child's C runtime splits back into given
// arguments, and that split itself. Plain text work, used by the Win32 process start, by the
// launcher on every OS and checked by tests on every OS.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vantrel::hostText {

/// The Windows command line that a child's C runtime splits back into exactly the given
/// arguments (spaces, tabs, quotes, backslashes and empty arguments included). Element 0,
/// the program, follows the runtime's simpler rule for the program name: it is quoted
/// when it holds a blank and may not contain a quote (nothing then).
std::optional<std::string> buildWindowsCommandLine(const std::vector<std::string> &arguments);

/// Splits a Windows command line into arguments the way the C runtime does (the inverse
/// of buildWindowsCommandLine): the program name up to the first blank outside quotes,
/// then arguments with the 2n / 2n+1 backslash rule and "" inside quotes as one quote.
std::vector<std::string> splitWindowsCommandLine(const std::string &commandLine);

} // namespace vantrel::hostText
