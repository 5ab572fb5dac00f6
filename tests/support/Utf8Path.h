// Test helper shared by every area: file-system paths from and to UTF-8 text, the form of
// every path inside the product. A narrow std::string would be read in the ANSI code page
// on Windows, which loses every character outside it.
#pragma once

#include <filesystem>
#include <string>

namespace vantrel::testing {

/// The file-system path for a UTF-8 path text.
inline std::filesystem::path fsPath(const std::string &utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

/// The UTF-8 text of a file-system path.
inline std::string utf8Of(const std::filesystem::path &path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

} // namespace vantrel::testing
