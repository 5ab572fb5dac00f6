// Path text of this OS: the host rules of hostText for the system hostSystem() names.
#include "platform/path.h"

namespace vantrel::platform {

bool isPathSeparator(char c) {
  return hostText::isPathSeparator(c, hostSystem());
}

std::size_t lastComponentStart(std::string_view path) {
  return hostText::lastComponentStart(path, hostSystem());
}

std::string_view lastComponent(std::string_view path) {
  return path.substr(lastComponentStart(path));
}

bool isAbsolutePath(std::string_view path) {
  return hostText::isAbsolutePath(path, hostSystem());
}

bool isDeviceName(std::string_view fileName) {
  return hostText::isDeviceName(fileName, hostSystem());
}

char preferredSeparator() {
  return hostText::preferredSeparator(hostSystem());
}

} // namespace vantrel::platform
