// Test helper shared by every area: waits for an event the code under test gives (a byte on
// a pipe, a file that appears, a process state) with a generous upper bound, so that a loaded
// machine makes a test slower, never wrong.
#pragma once

#include <cstdint>
#include <functional>

namespace vantrel::testing {

/// The upper bound of a wait for an event: far beyond what any event of the code under test
/// takes, even on a loaded two-core CI machine under Wine.
inline constexpr std::int64_t EVENT_LIMIT_MILLIS = 30000;

/// Checks condition until it holds, leaving the processor to the other processes and
/// threads between checks; false when it still does not hold after limitMillis.
bool waitUntil(const std::function<bool()> &condition, std::int64_t limitMillis = EVENT_LIMIT_MILLIS);

} // namespace vantrel::testing
