// Win32 side of the clock: local calendar fields through the C runtime's _localtime64_s.
#include "platform/localCalendar.h"

namespace vantrel::platform::detail {

bool localCalendar(std::int64_t seconds, std::tm &fields) {
  const __time64_t t = static_cast<__time64_t>(seconds);
  return ::_localtime64_s(&fields, &t) == 0;
}

} // namespace vantrel::platform::detail
