// Win32 side of the lock between processes: the lock file is open without any sharing while
// it is held, and marked for deletion on close, which the OS carries out even for a process
// that is killed. Paths are UTF-8 here and UTF-16 at each call, in the extended form when
// they are long.
#include <windows.h>

#include "platform/PlatformMessages.h"
#include "platform/fileLock.h"
#include "platform/systemError.h"
#include "platform/time.h"
#include "platform/wideText.h"

namespace vantrel::platform {

namespace {

constexpr std::int64_t RETRY_MILLIS = 20;
/// How often a name that refuses access is taken for a lock file being deleted (its holder
/// has just let go) before it counts as a folder this process may not write.
constexpr int ACCESS_DENIED_RETRIES = 100;

bool isEmptyRegularFile(HANDLE h) {
  BY_HANDLE_FILE_INFORMATION info;
  return ::GetFileInformationByHandle(h, &info) &&
         !(info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) &&
         info.nFileSizeHigh == 0 && info.nFileSizeLow == 0;
}

} // namespace

std::unique_ptr<FileLock> FileLock::acquire(const std::string &path, const std::function<void()> &onWait,
                                            std::string &reason) {
  const std::wstring widePath = detail::toWidePath(path);
  bool waited = false;
  int accessDenied = 0;
  for (;;) {
    HANDLE h = ::CreateFileW(widePath.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h != INVALID_HANDLE_VALUE)
      return std::unique_ptr<FileLock>(new FileLock(path, reinterpret_cast<std::intptr_t>(h)));
    DWORD error = ::GetLastError();
    if (error == ERROR_FILE_EXISTS) {
      // Held by another run (which shares nothing), or left after a power loss: then it is
      // taken over, and deleted on close like one made here.
      h = ::CreateFileW(widePath.c_str(), GENERIC_READ | DELETE, 0, nullptr, OPEN_EXISTING,
                        FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
      if (h != INVALID_HANDLE_VALUE) {
        FILE_DISPOSITION_INFO dispose{TRUE};
        if (isEmptyRegularFile(h) &&
            ::SetFileInformationByHandle(h, FileDispositionInfo, &dispose, sizeof dispose))
          return std::unique_ptr<FileLock>(new FileLock(path, reinterpret_cast<std::intptr_t>(h)));
        ::CloseHandle(h);
        reason = msg::NOT_A_LOCK_FILE; // a file of somebody's
        return nullptr;
      }
      error = ::GetLastError();
      if (error == ERROR_SHARING_VIOLATION || error == ERROR_FILE_NOT_FOUND) {
        if (!waited && onWait) onWait();
        waited = true;
        sleepMillis(RETRY_MILLIS);
        continue;
      }
    }
    // A lock file whose holder has just let go refuses access until it is gone; with no
    // file there (or a folder) the folder is one this process may not write.
    const DWORD attributes = ::GetFileAttributesW(widePath.c_str());
    if (error == ERROR_ACCESS_DENIED && ++accessDenied < ACCESS_DENIED_RETRIES &&
        attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      sleepMillis(RETRY_MILLIS);
      continue;
    }
    reason = detail::describeSystemError(static_cast<int>(error));
    return nullptr;
  }
}

FileLock::~FileLock() {
  // The file goes with the handle (deletion on close).
  ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

} // namespace vantrel::platform
