// POSIX side of the clock: local calendar fields through localtime_r.
#include <ctime>

#include "platform/time.h"

namespace vantrel::platform {

LocalTime toLocalTime(std::int64_t millisSinceEpoch) {
  // Floor division so that instants before 1970 fall in the right second.
  std::int64_t seconds = millisSinceEpoch / 1000;
  if (millisSinceEpoch % 1000 < 0) --seconds;
  const std::time_t t = static_cast<std::time_t>(seconds);
  std::tm fields{};
  LocalTime local;
  if (!::localtime_r(&t, &fields)) return local;
  local.year = fields.tm_year + 1900;
  local.month = fields.tm_mon + 1;
  local.day = fields.tm_mday;
  local.hour = fields.tm_hour;
  local.minute = fields.tm_min;
  local.second = fields.tm_sec;
  return local;
}

} // namespace vantrel::platform
