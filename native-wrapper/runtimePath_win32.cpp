// The runtime's form of a path on Windows: components that a runtime reading the ANSI code
// page (or UTF-8 bytes) would misread are replaced by their short (8.3) names, which name
// the same file in any reading.
#include "runtimePath.h"

#include "windowsPaths_win32.h"

#include "hostText/PathText.h"

#include <vector>

namespace vantrel::launcher::platform {

namespace {

bool isAscii(const std::string &text) {
  for (unsigned char c : text)
    if (c >= 0x80) return false;
  return true;
}

bool readsAlike(const std::string &text, RuntimeText reading) {
  return reading == RuntimeText::Bytes ? isAscii(text) : win32::fitsAnsiCodePage(win32::wide(text));
}

/// A component of a path: where it starts and how long it is.
struct Component {
  std::size_t at;
  std::size_t length;
};

std::vector<Component> componentsOf(const std::string &path) {
  std::vector<Component> parts;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= path.size(); ++i) {
    if (i == path.size() || hostText::isPathSeparator(path[i], hostText::HostSystem::Windows)) {
      parts.push_back({start, i - start});
      start = i + 1;
    }
  }
  return parts;
}

} // namespace

std::optional<std::string> runtimeReadablePath(const std::string &path, RuntimeText text,
                                               std::string &unreadable) {
  if (readsAlike(path, text)) return path;
  const std::optional<std::string> shortForm = win32::shortPathName(path);
  if (!shortForm) return path;
  const std::vector<Component> names = componentsOf(path);
  const std::vector<Component> shortNames = componentsOf(*shortForm);
  if (names.size() != shortNames.size()) {
    // The system wrote the path otherwise (made absolute, say): the whole short form or none.
    if (readsAlike(*shortForm, text)) return shortForm;
    unreadable = path;
    return std::nullopt;
  }
  // Only the components that need it are replaced, so the path stays as recognisable as it
  // can be; short names of the others would name the same folders.
  std::string result;
  std::size_t copied = 0;
  for (std::size_t i = 0; i < names.size(); ++i) {
    const std::string name = path.substr(names[i].at, names[i].length);
    if (readsAlike(name, text)) continue;
    const std::string shortName = shortForm->substr(shortNames[i].at, shortNames[i].length);
    if (!readsAlike(shortName, text)) {
      unreadable = path.substr(0, names[i].at + names[i].length);
      return std::nullopt;
    }
    result += path.substr(copied, names[i].at - copied);
    result += shortName;
    copied = names[i].at + names[i].length;
  }
  result += path.substr(copied);
  return result;
}

} // namespace vantrel::launcher::platform
