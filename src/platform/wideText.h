// Internal to the Win32 files of the OS layer: the UTF-8 <-> UTF-16 conversion of hostText
// in the wchar_t form that the wide (...W) calls take, used beside each such call.
#pragma once

#include <string>
#include <string_view>

#include "hostText/Utf16.h"

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

} // namespace vantrel::platform::detail
