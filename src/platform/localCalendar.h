// Internal to the clock: the one OS call that turns seconds since the epoch into local
// calendar fields; time_posix.cpp and time_win32.cpp each define it, time.cpp builds on it.
#pragma once

#include <cstdint>
#include <ctime>

namespace vantrel::platform::detail {

/// Fills fields with the local calendar time of the instant seconds after 1970-01-01 UTC,
/// by the OS's own time-zone rules; false when the OS cannot represent it.
bool localCalendar(std::int64_t seconds, std::tm &fields);

} // namespace vantrel::platform::detail
