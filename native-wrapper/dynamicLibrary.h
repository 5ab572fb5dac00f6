// Run-time loading of the Java runtime's libraries for the in-process start (the VM library
// and the splash library). dynamicLibrary_posix.cpp and dynamicLibrary_win32.cpp define it.
#pragma once

#include <string>

namespace vantrel::launcher::platform {

/// An open library (dlopen handle or HMODULE); nullptr when none.
using LibraryHandle = void *;

/// Loads a library by its UTF-8 path (LoadLibraryExW / dlopen). On Windows the libraries it
/// needs are found in its own folder, in dependencyFolder (unless empty) and in the system
/// folders, never in the current folder or on PATH; on Linux the library's own search path
/// finds them. nullptr on failure, with the system's reason in reason.
LibraryHandle loadLibrary(const std::string &path, const std::string &dependencyFolder, std::string &reason);

/// Address of an exported function (GetProcAddress / dlsym); nullptr when missing.
void *findLibrarySymbol(LibraryHandle library, const char *name);

/// Releases this process's handle on a library (FreeLibrary / dlclose); nullptr is ignored.
void freeLibrary(LibraryHandle library);

} // namespace vantrel::launcher::platform
