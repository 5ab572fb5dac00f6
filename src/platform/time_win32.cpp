// Win32 side of the clock: local calendar fields through localtime_s.
#include <ctime>

#include "platform/time.h"

namespace vantrel::platform {

LocalTime toLocalTime(std::int64_t millisSinceEpoch) {
  std::int64_t seconds = millisSinceEpoch / 1000;
  if (millisSinceEpoch % 1000 < 0) --seconds;
  const __time64_t t = static_cast<__time64_t>(seconds);
  std::tm fields{};
  LocalTime local;
  if (::_localtime64_s(&fields, &t) != 0) return local;
  local.year = fields.tm_year + 1900;
  local.month = fields.tm_mon + 1;
  local.day = fields.tm_mday;
  local.hour = fields.tm_hour;
  local.minute = fields.tm_min;
  local.second = fields.tm_sec;
  return local;
}

} // namespace vantrel::platform
