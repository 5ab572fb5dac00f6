// POSIX side of the OS's error texts: strerror.
#include "platform/osError.h"

#include <cstring>

namespace vantrel::platform::detail {

std::string describeOsError(unsigned long code) {
  return std::strerror(static_cast<int>(code));
}

} // namespace vantrel::platform::detail
