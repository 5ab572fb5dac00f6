// The OS-independent half of the clock: the current time and pauses come from the C++
// library, and the local calendar fields are filled from the OS's answer in one place.
#include "platform/time.h"

#include <chrono>
#include <thread>

#include "platform/localCalendar.h"

namespace vantrel::platform {

std::int64_t nowMillis() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

LocalTime toLocalTime(std::int64_t millisSinceEpoch) {
  // Floor division so that instants before 1970 fall in the right second.
  std::int64_t seconds = millisSinceEpoch / 1000;
  if (millisSinceEpoch % 1000 < 0) --seconds;
  std::tm fields{};
  LocalTime local;
  if (!detail::localCalendar(seconds, fields)) return local;
  local.year = fields.tm_year + 1900;
  local.month = fields.tm_mon + 1;
  local.day = fields.tm_mday;
  local.hour = fields.tm_hour;
  local.minute = fields.tm_min;
  local.second = fields.tm_sec;
  return local;
}

void sleepMillis(std::int64_t millis) {
  if (millis > 0) std::this_thread::sleep_for(std::chrono::milliseconds(millis));
}

} // namespace vantrel::platform
