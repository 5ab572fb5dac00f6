// Internal to the process layer: the per-OS pieces that process.cpp builds the program
// search and the opening of a start on; process_posix.cpp and process_win32.cpp each
// define them.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vantrel::platform::detail {

/// This process's PATH as written. On POSIX an unset PATH means "/bin:/usr/bin", as for the
/// C library's exec functions.
std::string searchPath();

/// The program file that path stands for, when this OS would start it: on POSIX an
/// executable regular file; on Windows a file ending in ".exe", with that suffix added to
/// a path that lacks it.
std::optional<std::string> programFile(const std::string &path);

/// The OS's description of a program file that does not exist.
std::string programNotFoundReason();

/// The conventional name of POSIX signal number ("SIGSEGV"); "" when it has none here (and
/// always on Windows, where no child dies by a signal).
std::string signalName(int number);

/// "Cannot run program \"name\": reason".
std::string cannotRunProgram(const std::string &name, const std::string &reason);

} // namespace vantrel::platform::detail
