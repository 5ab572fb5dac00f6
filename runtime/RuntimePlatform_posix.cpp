// POSIX half of the stand-in runtime's OS layer: dlopen and the Linux naming conventions.
#include "RuntimePlatform.h"

#include <dlfcn.h>

namespace vantrel::runtime::os {

void *loadLibrary(const std::string &path, std::string &error) {
  void *handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char *reason = dlerror();
    error = reason ? reason : "unknown error";
  }
  return handle;
}

void *findSymbol(void *library, const char *name) {
  return dlsym(library, name);
}

char classPathSeparator() {
  return ':';
}

std::string mapLibraryName(const std::string &baseName) {
  return "lib" + baseName + ".so";
}

} // namespace vantrel::runtime::os
