// Win32 half of the launcher's library loading: LoadLibraryExW with the runtime's own folder
// added to the search for the libraries it needs, the system's reason for a failed load,
// GetProcAddress and FreeLibrary.
#include "dynamicLibrary.h"

#include "inProcessVmTexts.h"
#include "launcherPlatform.h"
#include "windowsPaths_win32.h"

#include <windows.h>

namespace vantrel::launcher::platform {

namespace {

using win32::plainPath;
using win32::wide;

// The full path of a path that may be relative: the search of the library's own folder
// takes only full paths.
std::string fullPath(const std::string &path) {
  const std::wstring name = wide(path);
  DWORD size = GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
  for (;;) {
    if (size == 0) return path;
    std::wstring buffer(size, L'\0');
    const DWORD n = GetFullPathNameW(name.c_str(), size, buffer.data(), nullptr);
    if (n == 0) return path;
    if (n < size) return plainPath(buffer.data(), n);
    size = n + 1;
  }
}

// The system's text for an error with its number, its "%1" filled with the file.
std::string systemReason(DWORD error, const std::string &file) {
  std::string reason = errorText(static_cast<int>(error));
  const std::size_t insert = reason.find("%1");
  if (insert != std::string::npos) reason.replace(insert, 2, file);
  return reason;
}

} // namespace

LibraryHandle loadLibrary(const std::string &path, const std::string &dependencyFolder, std::string &reason) {
  const std::string file = fullPath(path);
  // A real runtime keeps the libraries its VM library needs (its C runtime among them) in
  // its bin folder, not beside the VM library: that folder joins the search for this load.
  // The default folders are the launcher's own and the system's (the user folders included);
  // the current folder and PATH are never searched.
  DLL_DIRECTORY_COOKIE added = nullptr;
  if (!dependencyFolder.empty())
    added = AddDllDirectory(win32::classicPath(fullPath(dependencyFolder)).c_str());
  HMODULE library = LoadLibraryExW(win32::classicPath(file).c_str(), nullptr,
                                   LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
  const DWORD error = GetLastError();
  if (added) RemoveDllDirectory(added);
  if (!library) {
    reason = systemReason(error, file);
    // The system says "module not found" for the library and for any library it needs
    // alike; a library that is there can only have failed for want of another.
    if (error == ERROR_MOD_NOT_FOUND &&
        GetFileAttributesW(win32::widePath(file).c_str()) != INVALID_FILE_ATTRIBUTES)
      reason += kMissingDependency +
                (dependencyFolder.empty() ? std::string() : kMissingDependencyIn + dependencyFolder);
  }
  return reinterpret_cast<LibraryHandle>(library);
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
