// POSIX error numbers: errno and strerror.
#include "platform/systemError.h"

#include <cerrno>
#include <cstring>

#include "platform/PlatformMessages.h"

namespace vantrel::platform::detail {

namespace {

// strerror_r comes in two forms: the XSI one returns 0 and fills the buffer, the GNU one
// returns the text, which may or may not live in the buffer.
[[maybe_unused]] const char *strerrorText(int result, const char *buffer) {
  return result == 0 ? buffer : nullptr;
}
[[maybe_unused]] const char *strerrorText(const char *result, const char *) {
  return result;
}

} // namespace

int lastSystemError() {
  return errno;
}

std::string describeSystemError(int code) {
  char buffer[256] = {0};
  const char *text = strerrorText(::strerror_r(code, buffer, sizeof buffer), buffer);
  if (!text || !*text) return msg::OS_ERROR_NUMBER + std::to_string(code);
  return text;
}

int systemErrorFor(SimulatedError error) {
  switch (error) {
  case SimulatedError::DiskFull:
    return ENOSPC;
  case SimulatedError::WriteFailed:
    return EIO;
  case SimulatedError::AccessDenied:
    break;
  }
  return EACCES;
}

} // namespace vantrel::platform::detail
