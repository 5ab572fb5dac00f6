// Internal to the OS layer: the OS's own words for an error number, for messages that say
// why a call failed; osError_posix.cpp and osError_win32.cpp each define it.
#pragma once

#include <string>

namespace vantrel::platform::detail {

/// The OS's description of code (an errno value on POSIX, a GetLastError value on
/// Windows), without a trailing line end; "error N" when the OS has none.
std::string describeOsError(unsigned long code);

} // namespace vantrel::platform::detail
