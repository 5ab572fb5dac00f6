// This program's own command-line arguments as UTF-8 text, for every OS.
#pragma once

#include <string>
#include <vector>

namespace vantrel::platform {

/// The arguments after the program's name, as UTF-8: argv as given on POSIX. On Windows
/// argv holds them in the ANSI code page, which loses every character outside it, so the
/// wide command line is split instead, by the C runtime's rules (the rules that gave
/// argv); argv serves only when the OS gives no command line.
std::vector<std::string> programArguments(int argc, char **argv);

} // namespace vantrel::platform
