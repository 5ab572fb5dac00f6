// Win32 half of the stand-in runtime's OS layer: LoadLibraryExW, the environment block,
// console text and the Windows naming conventions. Each call takes wide text, converted
// from and to UTF-8 beside it.
#include "RuntimePlatform.h"

#include "hostText/Utf16.h"

#include <windows.h>

#include <io.h>

namespace vantrel::runtime::os {

namespace {

std::wstring wide(const std::string &utf8) {
  const std::u16string text = hostText::utf8ToUtf16(utf8);
  return std::wstring(text.begin(), text.end());
}

std::string utf8(const wchar_t *text, std::size_t length) {
  return hostText::utf16ToUtf8(std::u16string(text, text + length));
}

} // namespace

void *loadLibrary(const std::string &path, std::string &error) {
  // Libraries the loaded one depends on are searched in its own folder first.
  HMODULE handle = LoadLibraryExW(wide(path).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
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

std::optional<std::string> environmentVariable(const char *name) {
  // Read from the process environment block, which SetEnvironmentVariable changes (the C
  // runtime's getenv keeps a copy of its own).
  const std::wstring key = wide(name);
  SetLastError(ERROR_SUCCESS);
  const DWORD needed = GetEnvironmentVariableW(key.c_str(), nullptr, 0);
  if (needed == 0)
    return GetLastError() == ERROR_ENVVAR_NOT_FOUND ? std::nullopt
                                                    : std::optional<std::string>(std::string());
  std::wstring value(needed, L'\0');
  const DWORD got = GetEnvironmentVariableW(key.c_str(), value.data(), needed);
  return utf8(value.data(), got < needed ? got : 0);
}

void writeText(FILE *stream, const std::string &text) {
  // A console shows characters, not bytes: it gets UTF-16 whatever its code page. Anything
  // else (a file, a pipe) gets the UTF-8 bytes through the C stream.
  const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  DWORD mode = 0;
  if (handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode)) {
    std::fwrite(text.data(), 1, text.size(), stream);
    return;
  }
  std::fflush(stream); // what the stream holds comes first
  const std::wstring characters = wide(text);
  const wchar_t *at = characters.data();
  DWORD left = static_cast<DWORD>(characters.size());
  while (left > 0) {
    DWORD written = 0;
    if (!WriteConsoleW(handle, at, left, &written, nullptr) || written == 0) break;
    at += written;
    left -= written;
  }
}

} // namespace vantrel::runtime::os
