// Windows path text: '\' and '/' both separate components, and a drive prefix ends one.
#include "platform/path.h"

namespace vantrel::platform {

namespace {
bool isDriveLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
} // namespace

bool isPathSeparator(char c) {
  return c == '\\' || c == '/';
}

std::size_t lastComponentStart(std::string_view path) {
  const std::size_t separator = path.find_last_of("\\/");
  if (separator != std::string_view::npos) return separator + 1;
  // "C:top.sof" names top.sof in the current folder of drive C.
  const bool drive = path.size() >= 2 && path[1] == ':' && isDriveLetter(path[0]);
  return drive ? 2 : 0;
}

bool isAbsolutePath(std::string_view path) {
  if (path.size() >= 3 && isDriveLetter(path[0]) && path[1] == ':' && isPathSeparator(path[2])) return true;
  // "\\server\share\..." and the "\\?\" forms.
  return path.size() >= 2 && isPathSeparator(path[0]) && isPathSeparator(path[1]);
}

char preferredSeparator() {
  return '\\';
}

} // namespace vantrel::platform
