// Clock and calendar for every OS: the current time and its local calendar fields.
#pragma once

#include <cstdint>

namespace vantrel::platform {

/// Local calendar fields of one instant.
struct LocalTime {
  int year = 1970;
  int month = 1; ///< 1-12
  int day = 1;   ///< 1-31
  int hour = 0;  ///< 0-23
  int minute = 0;
  int second = 0;
};

/// Milliseconds since 1970-01-01 00:00 UTC, now.
std::int64_t nowMillis();

/// The local calendar fields of an instant given in milliseconds since the epoch, from the
/// OS's own time-zone rules (localtime_r / localtime_s).
LocalTime toLocalTime(std::int64_t millisSinceEpoch);

/// Suspends the calling thread for the given number of milliseconds.
void sleepMillis(std::int64_t millis);

} // namespace vantrel::platform
