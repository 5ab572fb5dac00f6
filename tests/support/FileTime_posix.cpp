// POSIX side of setting a file's modification time: utimensat, which takes any 64-bit time.
#include "support/ScratchDir.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace vantrel::testing {

void setModifiedTime(const std::string &path, std::int64_t seconds, int millis) {
  const struct timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(seconds), millis * 1000000L}};
  ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

} // namespace vantrel::testing
