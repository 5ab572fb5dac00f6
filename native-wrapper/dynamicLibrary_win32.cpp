// Win32 half of the launcher's library loading: LoadLibraryExW, GetProcAddress and FreeLibrary.
#include "dynamicLibrary.h"

#include "hostText/Utf16.h"

#include <windows.h>

namespace vantrel::launcher::platform {

LibraryHandle loadLibrary(const std::string &path) {
  // The runtime's own dependencies are looked for beside the library first.
  const std::u16string name = vantrel::hostText::utf8ToUtf16(path);
  return reinterpret_cast<LibraryHandle>(
      LoadLibraryExW(std::wstring(name.begin(), name.end()).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

void *findLibrarySymbol(LibraryHandle library, const char *name) {
  // Exported names are ASCII; GetProcAddress has no wide form.
  return library ? reinterpret_cast<void *>(GetProcAddress(reinterpret_cast<HMODULE>(library), name))
                 : nullptr;
}

void freeLibrary(LibraryHandle library) {
  if (library) FreeLibrary(reinterpret_cast<HMODULE>(library));
}

} // namespace vantrel::launcher::platform
