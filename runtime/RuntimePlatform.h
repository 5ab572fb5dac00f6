// The stand-in runtime's OS layer: native libraries, environment, console text and the
// platform's naming conventions. RuntimePlatform_posix.cpp and RuntimePlatform_win32.cpp
// define the library calls and names; RuntimePlatform.cpp puts the environment and the
// console text on the project's platform layer. Text is UTF-8 on both sides (files are
// opened through the platform layer, which gives long paths their extended form).
#pragma once

#include <cstdio>
#include <optional>
#include <string>

namespace vantrel::runtime::os {

/// Loads a native library by its UTF-8 path; nullptr with the system's reason in error on
/// failure.
void *loadLibrary(const std::string &path, std::string &error);

/// Address of an exported symbol, or nullptr.
void *findSymbol(void *library, const char *name);

/// Separator of class-path entries: ':' on Linux, ';' on Windows.
char classPathSeparator();

/// File name of a native library from its base name: libNAME.so on Linux, NAME.dll on Windows.
std::string mapLibraryName(const std::string &baseName);

/// Value of an environment variable as the OS holds it now (UTF-8); nothing when it is unset.
std::optional<std::string> environmentVariable(const char *name);

/// Writes UTF-8 text to a C stream: on a Windows console as its characters (WriteConsoleW),
/// anywhere else as the bytes themselves (so redirected output is UTF-8).
void writeText(FILE *stream, const std::string &text);

} // namespace vantrel::runtime::os
