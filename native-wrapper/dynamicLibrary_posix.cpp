// POSIX half of the launcher's library loading: dlopen, dlsym and dlclose.
#include "dynamicLibrary.h"

#include <dlfcn.h>

namespace vantrel::launcher::platform {

LibraryHandle loadLibrary(const std::string &path, const std::string &, std::string &reason) {
  // Global binding, as a runtime expects for the libraries it loads itself later.
  LibraryHandle library = dlopen(path.c_str(), RTLD_NOW | RTLD_GLOBAL);
  if (!library) {
    // dlerror names the library that was missing or broken, a needed one included.
    const char *error = dlerror();
    reason = error ? error : "";
  }
  return library;
}

void *findLibrarySymbol(LibraryHandle library, const char *name) {
  return library ? dlsym(library, name) : nullptr;
}

void freeLibrary(LibraryHandle library) {
  if (library) dlclose(library);
}

} // namespace vantrel::launcher::platform
