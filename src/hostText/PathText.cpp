// The path rules of POSIX and Windows as text.
#include "hostText/PathText.h"

namespace vantrel::hostText {

namespace {

bool isDriveLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool hasDrivePrefix(std::string_view path) {
  return path.size() >= 2 && path[1] == ':' && isDriveLetter(path[0]);
}

} // namespace

bool isPathSeparator(char c, HostSystem host) {
  return c == '/' || (host == HostSystem::Windows && c == '\\');
}

char preferredSeparator(HostSystem host) {
  return host == HostSystem::Windows ? '\\' : '/';
}

std::size_t lastComponentStart(std::string_view path, HostSystem host) {
  for (std::size_t i = path.size(); i > 0; --i)
    if (isPathSeparator(path[i - 1], host)) return i;
  // "C:top.sof" names top.sof in the current folder of drive C.
  return host == HostSystem::Windows && hasDrivePrefix(path) ? 2 : 0;
}

bool isAbsolutePath(std::string_view path, HostSystem host) {
  if (host == HostSystem::Posix) return !path.empty() && path[0] == '/';
  const bool rootOfDrive = path.size() >= 3 && hasDrivePrefix(path) && isPathSeparator(path[2], host);
  // "\\server\share\..." and the "\\?\" forms.
  const bool network = path.size() >= 2 && isPathSeparator(path[0], host) && isPathSeparator(path[1], host);
  return rootOfDrive || network;
}

bool namesFolder(std::string_view program, HostSystem host) {
  for (char c : program)
    if (isPathSeparator(c, host) || (host == HostSystem::Windows && c == ':')) return true;
  return false;
}

} // namespace vantrel::hostText
