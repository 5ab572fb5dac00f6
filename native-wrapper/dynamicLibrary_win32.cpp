// Win32 half of the launcher's library loading: LoadLibraryA, GetProcAddress and FreeLibrary.
#include "dynamicLibrary.h"

#include <windows.h>

namespace vantrel::launcher::platform {

LibraryHandle loadLibrary(const std::string &path) {
  // The runtime's own dependencies are looked for beside the library first.
  return reinterpret_cast<LibraryHandle>(
      LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

void *findLibrarySymbol(LibraryHandle library, const char *name) {
  return library ? reinterpret_cast<void *>(GetProcAddress(reinterpret_cast<HMODULE>(library), name))
                 : nullptr;
}

void freeLibrary(LibraryHandle library) {
  if (library) FreeLibrary(reinterpret_cast<HMODULE>(library));
}

} // namespace vantrel::launcher::platform
