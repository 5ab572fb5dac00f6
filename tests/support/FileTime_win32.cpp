// Win32 side of setting a file's modification time: SetFileTime, in 100 ns steps from 1601.
#include "support/ScratchDir.h"

#include <windows.h>

namespace vantrel::testing {

void setModifiedTime(const std::string &path, std::int64_t seconds, int millis) {
  const std::uint64_t ticks =
      static_cast<std::uint64_t>(seconds + 11644473600LL) * 10000000 + millis * 10000ULL;
  const FILETIME time{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  HANDLE file = ::CreateFileW(hostText::utf8Path(path).wstring().c_str(), FILE_WRITE_ATTRIBUTES,
                              FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ::SetFileTime(file, nullptr, nullptr, &time);
  ::CloseHandle(file);
}

} // namespace vantrel::testing
