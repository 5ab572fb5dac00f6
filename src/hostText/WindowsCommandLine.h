// The Windows command-line rules: the line that a child's C runtime splits back into given
// arguments, and that split itself. Plain text work, used by the Win32 process start, by the
// launcher on every OS and checked by tests on every OS.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vantrel::hostText {

/// One argument between double quotes, written so that the C runtime's rules give it back
/// unchanged: a quote inside gets a backslash, and a run of backslashes before a quote
/// (inside or the closing one) is doubled. Other backslashes stay as they are, so a plain
/// path comes out as "path".
std::string quoteWindowsArgument(const std::string &argument);

/// The Windows command line that a child's C runtime splits back into exactly the given
/// arguments (spaces, tabs, quotes, backslashes and empty arguments included). Element 0,
/// the program, follows the runtime's simpler rule for the program name: it is quoted
/// when it holds a blank and may not contain a quote (nothing then).
std::optional<std::string> buildWindowsCommandLine(const std::vector<std::string> &arguments);

/// Splits a Windows command line into arguments the way the C runtime does (the inverse
/// of buildWindowsCommandLine): the program name up to the first blank outside quotes,
/// with every quote toggling quoting and backslashes taken literally; then arguments with
/// the 2n / 2n+1 backslash rule and "" inside quotes as one quote. (CommandLineToArgvW
/// reads the program name differently: a leading quote runs to the next quote.)
std::vector<std::string> splitWindowsCommandLine(const std::string &commandLine);

} // namespace vantrel::hostText
