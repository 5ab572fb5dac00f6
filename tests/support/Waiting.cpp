// Test helper shared by every area: waiting for an event with an upper bound.
#include "support/Waiting.h"

#include "platform/time.h"

namespace vantrel::testing {

bool waitUntil(const std::function<bool()> &condition, std::int64_t limitMillis) {
  const std::int64_t deadline = platform::nowMillis() + limitMillis;
  for (;;) {
    if (condition()) return true;
    if (platform::nowMillis() > deadline) return false;
    platform::sleepMillis(1);
  }
}

} // namespace vantrel::testing
