// Local date and time as the fixed English texts of the console and log-file lines.
#pragma once

#include "platform/time.h"

#include <cstdint>
#include <string>

namespace vantrel::commandApplication {

/// Medium date and time, "Dec 6, 2026 7:27:29 AM" (console lines).
std::string consoleDateTime(const platform::LocalTime &time);

/// Log-file date and time, "Dec 06, 2026 7:27:29 AM" (two-digit day).
std::string fileDateTime(const platform::LocalTime &time);

/// The local calendar fields of an instant (from the platform's time-zone rules).
platform::LocalTime localTimeOf(std::int64_t millis);

} // namespace vantrel::commandApplication
