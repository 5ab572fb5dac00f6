// Win32 half of the stand-in runtime's OS layer: LoadLibrary and the Windows naming conventions.
#include "RuntimePlatform.h"

#include <windows.h>

namespace vantrel::runtime::os {

void *loadLibrary(const std::string &path, std::string &error) {
  // Libraries the loaded one depends on are searched in its own folder first.
  HMODULE handle = LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (!handle) {
    const DWORD code = GetLastError();
    char text[512] = {0};
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                             text, sizeof text, nullptr);
    while (n > 0 && (text[n - 1] == '\r' || text[n - 1] == '\n' || text[n - 1] == ' '))
      text[--n] = '\0';
    error = n > 0 ? std::string(text) : "error " + std::to_string(code);
  }
  return reinterpret_cast<void *>(handle);
}

void *findSymbol(void *library, const char *name) {
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
  const DWORD needed = GetEnvironmentVariableA(name, nullptr, 0);
  if (needed == 0)
    return GetLastError() == ERROR_ENVVAR_NOT_FOUND ? std::nullopt
                                                    : std::optional<std::string>(std::string());
  std::string value(needed, '\0');
  const DWORD got = GetEnvironmentVariableA(name, value.data(), needed);
  value.resize(got < needed ? got : 0);
  return value;
}

} // namespace vantrel::runtime::os
