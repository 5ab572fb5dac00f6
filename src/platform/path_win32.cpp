// Windows path text: '\' and '/' both separate components, and a drive prefix ends one.
#include "platform/path.h"

namespace vantrel::platform {

bool isPathSeparator(char c) {
  return c == '\\' || c == '/';
}

std::size_t lastComponentStart(std::string_view path) {
  const std::size_t separator = path.find_last_of("\\/");
  if (separator != std::string_view::npos) return separator + 1;
  // "C:top.sof" names top.sof in the current folder of drive C.
  const bool drive = path.size() >= 2 && path[1] == ':' &&
                     ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
  return drive ? 2 : 0;
}

} // namespace vantrel::platform
