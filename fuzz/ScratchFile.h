// Shared by the fuzz targets: names of the scratch files a target writes for the readers
// that take a path.
#pragma once

#include "platform/file.h"

#include <string>

namespace fuzzing {

/// A file name private to this process. Memory-backed /dev/shm is preferred: these files
/// are written and read once per input, so disk latency would dominate the run.
inline std::string scratchPath(const std::string &name) {
  static const std::string folder = vantrel::platform::fileExists("/dev/shm") ? "/dev/shm/" : "/tmp/";
  return folder + "bitmorph-fuzz-" + std::to_string(vantrel::platform::currentProcessId()) + "-" + name;
}

} // namespace fuzzing
