// The ANSI reading of paths shared by the test runtimes that read their text in the ANSI
// code page.
#include "ansiReader.h"

#include <windows.h>

std::string ansiOpens(const std::string &label, const std::string &ansiPathList) {
  std::size_t start = 0;
  while (start < ansiPathList.size()) {
    std::size_t end = ansiPathList.find(';', start);
    if (end == std::string::npos) end = ansiPathList.size();
    const std::string entry = ansiPathList.substr(start, end - start);
    start = end + 1;
    if (entry.empty()) continue;
    HANDLE file =
        CreateFileA(entry.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return label + ": cannot open " + entry;
    CloseHandle(file);
  }
  return label + ": opens";
}

std::string ansiModuleName(const void *address) {
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     static_cast<const char *>(address), &module);
  char name[MAX_PATH * 4];
  const DWORD n = GetModuleFileNameA(module, name, sizeof name);
  return std::string(name, n < sizeof name ? n : 0);
}
