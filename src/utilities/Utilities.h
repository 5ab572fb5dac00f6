// Timing helper of the utilities: a pause that never ends in an error.
#pragma once

#include <cstdint>

namespace vantrel::utilities {

/// Static helpers; the class has no instances.
class Utilities {
public:
  Utilities() = delete;

  /// Suspends the calling thread for the given milliseconds (none for 0 or less); an
  /// interruption ends the pause early and silently.
  static void sleep(std::int64_t milliseconds);
};

} // namespace vantrel::utilities
