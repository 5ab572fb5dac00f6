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

/// True when this OS would start the file as a program: on POSIX an executable regular
/// file; on Windows any file (programFileName has given it its ".exe").
bool isProgramFile(const std::string &file);

/// The OS's description of a program file that does not exist.
std::string programNotFoundReason();

/// The conventional name of POSIX signal number ("SIGSEGV"); "" when it has none here (and
/// always on Windows, where no child dies by a signal).
std::string signalName(int number);

/// "Cannot run program \"name\": reason".
std::string cannotRunProgram(const std::string &name, const std::string &reason);

} // namespace vantrel::platform::detail
