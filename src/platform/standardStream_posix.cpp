// POSIX side of this process's standard streams: write and read on descriptors 0, 1 and 2.
#include "platform/standardStream.h"

#include <cerrno>
#include <unistd.h>

namespace vantrel::platform {

bool writeStandardStream(StandardStream stream, const void *data, std::size_t n) {
  const int fd = stream == StandardStream::Error ? STDERR_FILENO : STDOUT_FILENO;
  const char *p = static_cast<const char *>(data);
  while (n > 0) {
    const ssize_t put = ::write(fd, p, n);
    if (put < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += put;
    n -= static_cast<std::size_t>(put);
  }
  return true;
}

std::int64_t readStandardInput(void *buffer, std::size_t n) {
  ssize_t got;
  do
    got = ::read(STDIN_FILENO, buffer, n);
  while (got < 0 && errno == EINTR);
  return got;
}

} // namespace vantrel::platform
