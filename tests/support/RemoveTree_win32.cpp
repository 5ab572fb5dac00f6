// Win32 side of the scratch folders' removal: the extended ("\\?\") form of the absolute path,
// which the file calls take past MAX_PATH; std::filesystem cannot list such a folder here.
#include "support/ScratchDir.h"

#include <windows.h>

namespace vantrel::testing {

namespace {

/// Removes folder, given in its extended form, with everything in it; read-only files too
/// (a test may leave one).
void removeExtendedTree(const std::wstring &folder) {
  WIN32_FIND_DATAW entry;
  HANDLE found = ::FindFirstFileW((folder + L"\\*").c_str(), &entry);
  if (found != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = entry.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + L"\\" + name;
      const DWORD attributes = entry.dwFileAttributes;
      if (attributes & FILE_ATTRIBUTE_READONLY)
        ::SetFileAttributesW(path.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
      if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        removeExtendedTree(path);
      } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        ::RemoveDirectoryW(path.c_str());
      } else {
        ::DeleteFileW(path.c_str());
      }
    } while (::FindNextFileW(found, &entry));
    ::FindClose(found);
  }
  ::RemoveDirectoryW(folder.c_str());
}

} // namespace

void removeTree(const std::filesystem::path &folder) {
  std::error_code ec;
  std::wstring whole = std::filesystem::absolute(folder, ec).wstring();
  if (ec) return;
  std::replace(whole.begin(), whole.end(), L'/', L'\\');
  removeExtendedTree(whole.rfind(L"\\\\", 0) == 0 ? whole : L"\\\\?\\" + whole);
}

} // namespace vantrel::testing
