// Win32 side of the environment: the process's own block through the ANSI functions,
// which is also what children inherit (the C runtime's copy is not consulted).
#include <windows.h>

#include <cstring>

#include "platform/environment.h"

namespace vantrel::platform {

std::optional<std::string> getEnvironmentVariable(const std::string &name) {
  if (name.empty()) return std::nullopt;
  std::string value(256, '\0');
  for (;;) {
    ::SetLastError(ERROR_SUCCESS);
    const DWORD got = ::GetEnvironmentVariableA(name.c_str(), value.data(), static_cast<DWORD>(value.size()));
    if (got == 0) {
      // An empty value and a missing variable both give 0; only the error tells them apart.
      if (::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
      return std::string();
    }
    if (got < value.size()) {
      value.resize(got);
      return value;
    }
    value.assign(got, '\0'); // got is the size needed, terminator included
  }
}

bool setEnvironmentVariable(const std::string &name, const std::optional<std::string> &value) {
  if (name.empty() || name.find('=') != std::string::npos) return false;
  return ::SetEnvironmentVariableA(name.c_str(), value ? value->c_str() : nullptr) != 0;
}

std::vector<std::string> environmentList() {
  std::vector<std::string> entries;
  char *block = ::GetEnvironmentStringsA();
  if (!block) return entries;
  for (const char *entry = block; *entry; entry += std::strlen(entry) + 1) {
    // Entries such as "=C:=C:\dir" are the shell's per-drive folders, not variables.
    if (entry[0] != '=') entries.emplace_back(entry);
  }
  ::FreeEnvironmentStringsA(block);
  return entries;
}

} // namespace vantrel::platform
