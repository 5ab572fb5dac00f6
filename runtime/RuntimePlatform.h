// The stand-in runtime's OS layer: native libraries and the platform's naming conventions.
// RuntimePlatform_posix.cpp and RuntimePlatform_win32.cpp define the same functions.
#pragma once

#include <optional>
#include <string>

namespace vantrel::runtime::os {

/// Loads a native library by path; nullptr with the system's reason in error on failure.
void *loadLibrary(const std::string &path, std::string &error);

/// Address of an exported symbol, or nullptr.
void *findSymbol(void *library, const char *name);

/// Separator of class-path entries: ':' on Linux, ';' on Windows.
char classPathSeparator();

/// File name of a native library from its base name: libNAME.so on Linux, NAME.dll on Windows.
std::string mapLibraryName(const std::string &baseName);

/// Value of an environment variable as the OS holds it now; nothing when it is unset.
std::optional<std::string> environmentVariable(const char *name);

} // namespace vantrel::runtime::os
