// Internal to the Win32 files of the OS layers (this one's and the stand-in runtime's): the
// UTF-8 <-> UTF-16 conversion of hostText in the wchar_t form that the wide (...W) calls
// take, and the form of a path for a wide file call, used beside each such call.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "hostText/Utf16.h"
#include "hostText/WindowsLongPath.h"

namespace vantrel::platform::detail {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the wide calls take UTF-16");

/// The UTF-16 form of a UTF-8 text, for a wide call.
inline std::wstring toWide(std::string_view utf8) {
  const std::u16string utf16 = hostText::utf8ToUtf16(utf8);
  return std::wstring(utf16.begin(), utf16.end());
}

/// The UTF-8 form of the UTF-16 text a wide call returned.
inline std::string fromWide(std::wstring_view wide) {
  return hostText::utf16ToUtf8(
      std::u16string_view(reinterpret_cast<const char16_t *>(wide.data()), wide.size()));
}

/// This process's current folder (UTF-8); empty when the OS cannot tell.
inline std::string currentFolder() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    // Too small a buffer gives the size needed, terminator included.
    const DWORD length = ::GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length == 0) return std::string();
    if (length < buffer.size()) return fromWide(std::wstring_view(buffer.data(), length));
    buffer.assign(length, L'\0');
  }
}

/// The UTF-16 form of a UTF-8 path, for a wide call that takes a file or folder name: the
/// extended form when it is long (hostText::extendedLengthPath), so that no call stops at
/// MAX_PATH; the current folder is asked only for a relative path.
inline std::wstring toWidePath(std::string_view utf8) {
  return toWide(hostText::extendedLengthPath(utf8, currentFolder));
}

} // namespace vantrel::platform::detail
