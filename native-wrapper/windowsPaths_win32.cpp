// The forms of a path the launcher's Win32 calls take: the one conversion to wide text for
// file calls, the short form for the calls limited to MAX_PATH, the plain form of what the
// system returns, and the test for text in the ANSI code page.
#include "windowsPaths_win32.h"

#include "launcherPlatform.h"

#include "hostText/Utf16.h"
#include "hostText/WindowsLongPath.h"

#include <windows.h>

namespace vantrel::launcher::platform::win32 {

std::wstring wide(const std::string &utf8) {
  const std::u16string text = hostText::utf8ToUtf16(utf8);
  return std::wstring(text.begin(), text.end());
}

std::string utf8(const wchar_t *text, std::size_t length) {
  return hostText::utf16ToUtf8(std::u16string(text, text + length));
}

std::wstring widePath(const std::string &path) {
  return wide(hostText::extendedLengthPath(path, [] { return currentDirectory().value_or(""); }));
}

std::string plainPath(const wchar_t *text, std::size_t length) {
  const std::wstring_view path(text, length);
  if (path.rfind(L"\\\\?\\UNC\\", 0) == 0) return "\\\\" + utf8(text + 8, length - 8);
  if (path.rfind(L"\\\\?\\", 0) == 0) return utf8(text + 4, length - 4);
  return utf8(text, length);
}

std::optional<std::string> shortPathName(const std::string &path) {
  if (takeInjectedFailure(FailPoint::NoShortNames)) return path;
  const std::wstring name = widePath(path);
  DWORD size = GetShortPathNameW(name.c_str(), nullptr, 0);
  for (;;) {
    if (size == 0) return std::nullopt;
    std::wstring buffer(size, L'\0');
    const DWORD got = GetShortPathNameW(name.c_str(), buffer.data(), size);
    if (got == 0) return std::nullopt;
    if (got < size) return plainPath(buffer.data(), got);
    size = got + 1; // the name grew in between: ask again with the size now needed
  }
}

std::wstring classicPath(const std::string &path) {
  const std::wstring plain = wide(path);
  if (plain.size() < MAX_PATH) return plain;
  if (const std::optional<std::string> shortForm = shortPathName(path)) {
    std::wstring text = wide(*shortForm);
    if (text.size() < MAX_PATH) return text;
  }
  return widePath(path);
}

bool fitsAnsiCodePage(const std::wstring &text) {
  if (text.empty()) return true;
  const int length = static_cast<int>(text.size());
  const UINT codePage = GetACP();
  // A UTF-8 code page holds every character; it takes neither the best-fit flag nor the
  // default-character report, only the check for text that is not UTF-16 (lone surrogates).
  if (codePage == CP_UTF8)
    return WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), length, nullptr, 0, nullptr,
                               nullptr) > 0;
  BOOL usedDefault = FALSE;
  const int size = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, text.data(), length, nullptr, 0,
                                       nullptr, &usedDefault);
  return size > 0 && !usedDefault;
}

} // namespace vantrel::launcher::platform::win32
