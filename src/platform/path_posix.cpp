// POSIX path text: '/' is the only separator.
#include "platform/path.h"

namespace vantrel::platform {

bool isPathSeparator(char c) {
  return c == '/';
}

std::size_t lastComponentStart(std::string_view path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string_view::npos ? 0 : slash + 1;
}

bool isAbsolutePath(std::string_view path) {
  return !path.empty() && path[0] == '/';
}

char preferredSeparator() {
  return '/';
}

} // namespace vantrel::platform
