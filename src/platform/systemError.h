// Internal to the OS layer: the error numbers of failed OS calls and their descriptions, for
// the messages that tell a user why a file could not be written. systemError_posix.cpp and
// systemError_win32.cpp define them.
#pragma once

#include <string>

namespace vantrel::platform::detail {

/// The error number the last failed OS call of this thread left: errno, or GetLastError().
int lastSystemError();

/// The OS's own description of an error number, without the line end the OS may add
/// ("Permission denied", "Access is denied."); OS_ERROR_NUMBER + the number when the OS has
/// none.
std::string describeSystemError(int code);

/// The errors the fault seam stands in for, as this OS numbers them.
enum class SimulatedError {
  DiskFull,    ///< no space left for the data
  WriteFailed, ///< a write that reached the disk late failed (reported at close)
  AccessDenied ///< the OS refused to replace a file
};
int systemErrorFor(SimulatedError error);

} // namespace vantrel::platform::detail
