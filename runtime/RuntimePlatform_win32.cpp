// Win32 half of the stand-in runtime's OS layer: LoadLibraryExW and the Windows naming
// conventions. Each call takes wide text, converted from and to UTF-8 beside it (a path in
// its extended form when it is long).
#include "RuntimePlatform.h"

#include "hostText/Utf16.h"
#include "platform/wideText.h"

#include <windows.h>

namespace vantrel::runtime::os {

namespace {

std::string utf8(const wchar_t *text, std::size_t length) {
  return hostText::utf16ToUtf8(std::u16string(text, text + length));
}

} // namespace

void *loadLibrary(const std::string &path, std::string &error) {
  // Libraries the loaded one depends on are searched in its own folder first.
  HMODULE handle =
      LoadLibraryExW(platform::detail::toWidePath(path).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (!handle) {
    const DWORD code = GetLastError();
    wchar_t text[512] = {0};
    DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                             text, 512, nullptr);
    while (n > 0 && (text[n - 1] == L'\r' || text[n - 1] == L'\n' || text[n - 1] == L' '))
      --n;
    error = n > 0 ? utf8(text, n) : "error " + std::to_string(code);
  }
  return reinterpret_cast<void *>(handle);
}

void *findSymbol(void *library, const char *name) {
  // Exported names are ASCII; GetProcAddress has no wide form.
  return reinterpret_cast<void *>(GetProcAddress(reinterpret_cast<HMODULE>(library), name));
}

char classPathSeparator() {
  return ';';
}

std::string mapLibraryName(const std::string &baseName) {
  return baseName + ".dll";
}

} // namespace vantrel::runtime::os
