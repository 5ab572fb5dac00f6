// POSIX half of the stand-in runtime's OS layer: dlopen, getenv, the C streams and the Linux
// naming conventions.
#include "RuntimePlatform.h"

#include <cstdlib>
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

std::optional<std::string> environmentVariable(const char *name) {
  const char *value = std::getenv(name);
  return value ? std::optional<std::string>(value) : std::nullopt;
}

void writeText(FILE *stream, const std::string &text) {
  std::fwrite(text.data(), 1, text.size(), stream);
}

} // namespace vantrel::runtime::os
