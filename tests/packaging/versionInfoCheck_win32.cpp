// Test helper for the Windows packages: reads back the version resource of each program and
// library named on the command line, as Windows' file properties do, and checks it against
// the expected product name and version; also checks the times a PE file holds: the header's is
// the packages' time, and a library's export table holds none. Usage:
//   versionInfoCheck <product name> <version a.b.c> <header time, s since 1970> <file>...
// Prints one line per fault and exits with 1 when there was any.
#include "hostText/Utf16.h"

#include <windows.h>

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <fstream>
#include <iterator>
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

// The times a PE file holds: its header's (IMAGE_FILE_HEADER.TimeDateStamp) and, when it
// exports functions, its export table's; -1 where the file cannot be read as PE.
struct PeTimes {
  long long header = -1;
  long long exports = -1;
};

PeTimes peTimes(const std::wstring &file) {
  std::ifstream in(file.c_str(), std::ios::binary);
  const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // A structure at an offset of the file, or null when it does not fit.
  const auto at = [&bytes](std::size_t offset, std::size_t size) -> const char * {
    return offset + size <= bytes.size() ? bytes.data() + offset : nullptr;
  };
  PeTimes times;
  IMAGE_DOS_HEADER dos;
  IMAGE_NT_HEADERS64 nt;
  const char *p = at(0, sizeof dos);
  if (!p) return times;
  std::memcpy(&dos, p, sizeof dos);
  if (!(p = at(dos.e_lfanew, sizeof nt))) return times;
  std::memcpy(&nt, p, sizeof nt);
  times.header = nt.FileHeader.TimeDateStamp;
  const IMAGE_DATA_DIRECTORY exports = nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  if (exports.Size == 0) return times;
  // The export table's place in the file: its address less its section's, plus the section's
  // place in the file.
  const std::size_t sections =
      dos.e_lfanew + offsetof(IMAGE_NT_HEADERS64, OptionalHeader) + nt.FileHeader.SizeOfOptionalHeader;
  for (WORD i = 0; i < nt.FileHeader.NumberOfSections; ++i) {
    IMAGE_SECTION_HEADER section;
    if (!(p = at(sections + i * sizeof section, sizeof section))) break;
    std::memcpy(&section, p, sizeof section);
    const DWORD start = section.VirtualAddress;
    if (exports.VirtualAddress < start || exports.VirtualAddress >= start + section.SizeOfRawData) continue;
    IMAGE_EXPORT_DIRECTORY directory;
    if ((p = at(section.PointerToRawData + (exports.VirtualAddress - start), sizeof directory))) {
      std::memcpy(&directory, p, sizeof directory);
      times.exports = directory.TimeDateStamp;
    }
  }
  return times;
}

void check(const std::wstring &file, const std::wstring &product, const std::wstring &version,
           long long time) {
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
  const PeTimes times = peTimes(file);
  if (times.header != time) fault(file, "time in the header: " + std::to_string(times.header));
  if (times.exports > 0) fault(file, "link time in the export table: " + std::to_string(times.exports));
}

} // namespace

int wmain(int argc, wchar_t **argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: versionInfoCheck <product name> <version> <header time> <file>...\n");
    return 2;
  }
  const long long time = std::wcstoll(argv[3], nullptr, 10);
  for (int i = 4; i < argc; ++i)
    check(argv[i], argv[1], argv[2], time);
  return faults == 0 ? 0 : 1;
}
