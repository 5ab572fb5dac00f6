// Test helper for the Windows packages: reads back the version resource of each program and
// library named on the command line, as Windows' file properties do, and checks it against
// the expected product name and version; and the application manifest of each program, as
// Windows reads it when the program starts (long paths, the Windows 10 entry). Usage:
//   versionInfoCheck <product name> <version a.b.c> <file>...
// Prints one line per fault and exits with 1 when there was any.
#include "hostText/Utf16.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

using vantrel::hostText::utf16ToUtf8;

std::string utf8(const wchar_t *text) {
  return utf16ToUtf8(reinterpret_cast<const char16_t *>(text));
}

int faults = 0;

void fault(const std::wstring &file, const std::string &what) {
  std::printf("%s: %s\n", utf8(file.c_str()).c_str(), what.c_str());
  ++faults;
}

// One string of the resource's first language, or empty when it has none.
std::wstring stringValue(const std::vector<char> &block, const std::wstring &name) {
  struct Translation {
    WORD language;
    WORD codePage;
  } *translations = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void **>(&translations),
                      &length) ||
      length < sizeof(Translation)) {
    return L"";
  }
  wchar_t path[128];
  std::swprintf(path, 128, L"\\StringFileInfo\\%04x%04x\\%ls", translations[0].language,
                translations[0].codePage, name.c_str());
  wchar_t *value = nullptr;
  if (!VerQueryValueW(block.data(), path, reinterpret_cast<void **>(&value), &length) || length == 0)
    return L"";
  return value;
}

void check(const std::wstring &file, const std::wstring &product, const std::wstring &version) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
  if (size == 0) {
    fault(file, "no version resource");
    return;
  }
  std::vector<char> block(size);
  if (!GetFileVersionInfoW(file.c_str(), 0, size, block.data())) {
    fault(file, "version resource unreadable");
    return;
  }
  VS_FIXEDFILEINFO *fixed = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.data(), L"\\", reinterpret_cast<void **>(&fixed), &length) ||
      length < sizeof *fixed) {
    fault(file, "no fixed file information");
    return;
  }
  wchar_t numbers[64];
  std::swprintf(numbers, 64, L"%u.%u.%u", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                HIWORD(fixed->dwFileVersionLS));
  if (numbers != version) fault(file, "file version " + utf8(numbers));
  if (fixed->dwFileVersionMS != fixed->dwProductVersionMS ||
      fixed->dwFileVersionLS != fixed->dwProductVersionLS)
    fault(file, "product version differs from the file version");
  const struct {
    const wchar_t *name;
    std::wstring expected; // empty: any text but an empty one
  } strings[] = {{L"ProductName", product},
                 {L"ProductVersion", version},
                 {L"FileVersion", version},
                 {L"FileDescription", L""},
                 {L"OriginalFilename", file.substr(file.find_last_of(L"\\/") + 1)}};
  for (const auto &s : strings) {
    const std::wstring value = stringValue(block, s.name);
    if (value.empty() || (!s.expected.empty() && value != s.expected))
      fault(file, utf8(s.name) + " is \"" + utf8(value.c_str()) + "\"");
  }
}

/// The application manifest of a program: resource 1 of type RT_MANIFEST.
void checkManifest(const std::wstring &file) {
  HMODULE image =
      LoadLibraryExW(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!image) {
    fault(file, "cannot be read as an image");
    return;
  }
  std::string manifest;
  if (HRSRC found = FindResourceW(image, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24))) {
    const void *data = LockResource(LoadResource(image, found));
    if (data) manifest.assign(static_cast<const char *>(data), SizeofResource(image, found));
  }
  FreeLibrary(image);
  for (const char *entry : {"<ws2:longPathAware>true</ws2:longPathAware>",
                            "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>"}) {
    if (manifest.find(entry) == std::string::npos) fault(file, std::string("manifest lacks ") + entry);
  }
}

} // namespace

int wmain(int argc, wchar_t **argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: versionInfoCheck <product name> <version> <file>...\n");
    return 2;
  }
  for (int i = 3; i < argc; ++i) {
    const std::wstring file = argv[i];
    check(file, argv[1], argv[2]);
    if (file.size() > 4 && file.compare(file.size() - 4, 4, L".exe") == 0) checkManifest(file);
  }
  return faults == 0 ? 0 : 1;
}
