// POSIX side of the clock: local calendar fields through localtime_r.
#include "platform/localCalendar.h"

namespace vantrel::platform::detail {

bool localCalendar(std::int64_t seconds, std::tm &fields) {
  const std::time_t t = static_cast<std::time_t>(seconds);
  return ::localtime_r(&t, &fields) != nullptr;
}

} // namespace vantrel::platform::detail
