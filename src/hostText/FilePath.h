// File-system paths from UTF-8 text and back. A std::string given to std::filesystem or to
// the file streams means the ANSI code page on Windows; these helpers make the UTF-8 text
// the path on every platform.
#pragma once

#include "hostText/Utf16.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace vantrel::hostText {

/// The path a UTF-8 text names: converted by utf8ToUtf16 where paths are UTF-16 (Windows),
/// the bytes themselves elsewhere. (A template only so that the branch for the other path
/// form is never compiled.)
template <class NativeChar = std::filesystem::path::value_type>
std::filesystem::path utf8Path(std::string_view utf8) {
  if constexpr (sizeof(NativeChar) == sizeof(char16_t)) {
    const std::u16string wide = utf8ToUtf16(utf8);
    return std::filesystem::path(std::basic_string<NativeChar>(wide.begin(), wide.end()));
  } else {
    return std::filesystem::path(std::basic_string<NativeChar>(utf8));
  }
}

/// The UTF-8 text of a path (the inverse of utf8Path).
template <class Path = std::filesystem::path> std::string pathUtf8(const Path &path) {
  if constexpr (sizeof(typename Path::value_type) == sizeof(char16_t)) {
    const auto &native = path.native();
    return utf16ToUtf8(std::u16string(native.begin(), native.end()));
  } else {
    return path.native();
  }
}

} // namespace vantrel::hostText
