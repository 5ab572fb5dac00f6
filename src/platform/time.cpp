// The OS-independent half of the clock: the current time and pauses come from the C++ library.
#include "platform/time.h"

#include <chrono>
#include <thread>

namespace vantrel::platform {

std::int64_t nowMillis() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

void sleepMillis(std::int64_t millis) {
  if (millis > 0) std::this_thread::sleep_for(std::chrono::milliseconds(millis));
}

} // namespace vantrel::platform
