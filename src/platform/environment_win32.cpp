// Win32 side of the environment: the process's own block through the wide functions, which
// is also what children inherit (the C runtime's copy is not consulted). Names and values
// are UTF-8 here and UTF-16 in the block.
#include <windows.h>

#include <cwchar>

#include "platform/environment.h"
#include "platform/wideText.h"

namespace vantrel::platform {

using detail::fromWide;
using detail::toWide;

std::optional<std::string> getEnvironmentVariable(const std::string &name) {
  if (name.empty()) return std::nullopt;
  const std::wstring wideName = toWide(name);
  std::wstring value(256, L'\0');
  for (;;) {
    ::SetLastError(ERROR_SUCCESS);
    const DWORD got =
        ::GetEnvironmentVariableW(wideName.c_str(), value.data(), static_cast<DWORD>(value.size()));
    if (got == 0) {
      // An empty value and a missing variable both give 0; only the error tells them apart.
      if (::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
      return std::string();
    }
    if (got < value.size()) {
      value.resize(got);
      return fromWide(value);
    }
    value.assign(got, L'\0'); // got is the size needed, terminator included
  }
}

bool setEnvironmentVariable(const std::string &name, const std::optional<std::string> &value) {
  if (name.empty() || name.find('=') != std::string::npos) return false;
  const std::wstring wideName = toWide(name);
  if (!value) return ::SetEnvironmentVariableW(wideName.c_str(), nullptr) != 0;
  return ::SetEnvironmentVariableW(wideName.c_str(), toWide(*value).c_str()) != 0;
}

std::vector<std::string> environmentList() {
  std::vector<std::string> entries;
  wchar_t *block = ::GetEnvironmentStringsW();
  if (!block) return entries;
  for (const wchar_t *entry = block; *entry; entry += std::wcslen(entry) + 1) {
    // Entries such as "=C:=C:\dir" are the shell's per-drive folders, not variables.
    if (entry[0] != L'=') entries.push_back(fromWide(entry));
  }
  ::FreeEnvironmentStringsW(block);
  return entries;
}

} // namespace vantrel::platform
