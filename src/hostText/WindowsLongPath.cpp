// The extended form of long Windows paths.
#include "hostText/WindowsLongPath.h"

#include "hostText/PathText.h"
#include "hostText/Utf16.h"

#include <vector>

namespace vantrel::hostText {

namespace {

constexpr HostSystem WINDOWS = HostSystem::Windows;

bool isSeparator(char c) {
  return isPathSeparator(c, WINDOWS);
}

bool hasDrive(std::string_view path) {
  return path.size() >= 2 && path[1] == ':' &&
         ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

bool isShare(std::string_view path) {
  return path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1]);
}

bool sameDrive(char a, char b) {
  const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
  return upper(a) == upper(b);
}

/// Where the root of an absolute path ends: after "X:\" or after "\\server\share".
std::size_t rootLength(std::string_view absolute) {
  if (hasDrive(absolute)) return 3;
  // "\\server\share": the two names after the leading pair of separators.
  std::size_t i = 2;
  for (int names = 0; names < 2; ++names) {
    while (i < absolute.size() && !isSeparator(absolute[i]))
      ++i;
    if (names == 0 && i < absolute.size()) ++i;
  }
  return i;
}

/// The current folder in its plain form: the OS may report it in the extended form.
std::string plainFolder(std::string folder) {
  if (folder.rfind("\\\\?\\UNC\\", 0) == 0) return "\\\\" + folder.substr(8);
  if (folder.rfind("\\\\?\\", 0) == 0) return folder.substr(4);
  return folder;
}

/// The path made absolute, separators not yet unified.
std::string absolutePath(std::string_view path, const std::function<std::string()> &currentDirectory) {
  if (isAbsolutePath(path, WINDOWS)) return std::string(path);
  const std::string current = plainFolder(currentDirectory());
  if (hasDrive(path)) {
    // "X:name": relative to the current folder of drive X, known here only when it is the
    // current drive; any other drive is taken from its root.
    if (hasDrive(current) && sameDrive(current[0], path[0]))
      return current + "\\" + std::string(path.substr(2));
    return std::string(path.substr(0, 2)) + "\\" + std::string(path.substr(2));
  }
  if (!path.empty() && isSeparator(path[0])) {
    // "\name": relative to the root of the current folder's drive or share.
    return std::string(std::string_view(current).substr(0, rootLength(current))) + std::string(path);
  }
  return current + "\\" + std::string(path);
}

} // namespace

std::string extendedLengthPath(std::string_view path, const std::function<std::string()> &currentDirectory) {
  if (path.empty() || path.rfind("\\\\?\\", 0) == 0 || path.rfind("\\\\.\\", 0) == 0)
    return std::string(path);
  // A relative path reaches the OS joined to the current folder: that whole length counts.
  const std::string absolute = absolutePath(path, currentDirectory);
  if (utf8ToUtf16(absolute).size() < EXTENDED_FORM_FROM) return std::string(path);

  const bool share = isShare(absolute);
  const std::size_t rootEnd = rootLength(absolute);
  std::vector<std::string_view> components;
  std::string_view rest = std::string_view(absolute).substr(rootEnd);
  while (!rest.empty()) {
    std::size_t end = 0;
    while (end < rest.size() && !isSeparator(rest[end]))
      ++end;
    const std::string_view component = rest.substr(0, end);
    rest.remove_prefix(end < rest.size() ? end + 1 : end);
    if (component.empty() || component == ".") continue;
    if (component == "..") {
      if (!components.empty()) components.pop_back();
      continue;
    }
    components.push_back(component);
  }

  std::string extended = share ? "\\\\?\\UNC\\" : "\\\\?\\";
  std::string root(std::string_view(absolute).substr(share ? 2 : 0, rootEnd - (share ? 2 : 0)));
  for (char &c : root)
    if (c == '/') c = '\\';
  if (!root.empty() && root.back() == '\\') root.pop_back();
  extended += root;
  for (std::string_view component : components) {
    extended += '\\';
    extended += component;
  }
  // A bare drive ("\\?\C:") names the volume device, not its root folder.
  if (components.empty() && !share) extended += '\\';
  return extended;
}

} // namespace vantrel::hostText
