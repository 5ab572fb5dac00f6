// Timing helper of the utilities.
#include "utilities/Utilities.h"

#include "platform/time.h"

namespace vantrel::utilities {

void Utilities::sleep(std::int64_t milliseconds) {
  if (milliseconds > 0) platform::sleepMillis(milliseconds);
}

} // namespace vantrel::utilities
