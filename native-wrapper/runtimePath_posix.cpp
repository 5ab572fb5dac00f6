// The runtime's form of a path on Linux: a runtime reads the path's bytes as they are.
#include "runtimePath.h"

namespace vantrel::launcher::platform {

std::optional<std::string> runtimeReadablePath(const std::string &path, RuntimeText, std::string &) {
  return path;
}

} // namespace vantrel::launcher::platform
