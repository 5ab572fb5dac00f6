// POSIX half of the launcher's library loading: dlopen, dlsym and dlclose.
#include "dynamicLibrary.h"

#include <dlfcn.h>

namespace vantrel::launcher::platform {

LibraryHandle loadLibrary(const std::string &path) {
  // Global binding, as a runtime expects for the libraries it loads itself later.
  return dlopen(path.c_str(), RTLD_NOW | RTLD_GLOBAL);
}

void *findLibrarySymbol(LibraryHandle library, const char *name) {
  return library ? dlsym(library, name) : nullptr;
}

void freeLibrary(LibraryHandle library) {
  if (library) dlclose(library);
}

} // namespace vantrel::launcher::platform
