// Path text shared by every OS, on top of the per-OS separator rule.
#include "platform/path.h"

namespace vantrel::platform {

std::string_view lastComponent(std::string_view path) {
  return path.substr(lastComponentStart(path));
}

} // namespace vantrel::platform
