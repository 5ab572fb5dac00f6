// Helpers for golden-text tests: golden text is written with "\n" and compared with the
// platform line separator in its place.
#pragma once

#include "platform/file.h"

#include <string>

namespace vantrel::commandOptions::test {

/// text with every "\n" replaced by the platform line separator.
inline std::string nl(const std::string &text) {
  const std::string separator = platform::lineSeparator();
  std::string out;
  for (char c : text) {
    if (c == '\n')
      out += separator;
    else
      out += c;
  }
  return out;
}

} // namespace vantrel::commandOptions::test
