// File-name tests shared by the tools.
#pragma once

#include <string_view>

namespace vantrel::suite {

/// True when path ends in extension (given in lower case, with its dot), in any case.
inline bool hasExtension(std::string_view path, std::string_view extension) {
  if (path.size() <= extension.size()) return false;
  const std::string_view tail = path.substr(path.size() - extension.size());
  for (std::size_t i = 0; i < tail.size(); ++i) {
    char c = tail[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != extension[i]) return false;
  }
  return true;
}

} // namespace vantrel::suite
