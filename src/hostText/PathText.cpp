// The path rules of POSIX and Windows as text.
#include "hostText/PathText.h"

#include <string>

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

bool isDeviceName(std::string_view fileName, HostSystem host) {
  if (host != HostSystem::Windows) return false;
  // Windows reads the part before the first dot, blanks at its end dropped, as the name.
  std::string_view stem = fileName.substr(0, fileName.find('.'));
  while (!stem.empty() && stem.back() == ' ')
    stem.remove_suffix(1);
  const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
  std::string name;
  for (char c : stem)
    name += upper(c);
  if (name == "NUL" || name == "CON" || name == "AUX" || name == "PRN") return true;
  return name.size() == 4 && (name.compare(0, 3, "COM") == 0 || name.compare(0, 3, "LPT") == 0) &&
         name[3] >= '1' && name[3] <= '9';
}

bool namesFolder(std::string_view program, HostSystem host) {
  for (char c : program)
    if (isPathSeparator(c, host) || (host == HostSystem::Windows && c == ':')) return true;
  return false;
}

} // namespace vantrel::hostText
