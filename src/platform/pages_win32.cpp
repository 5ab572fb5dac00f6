// Win32 side of pages from the OS: committed private pages from VirtualAlloc, and copy-on-
// write views of whole files. Large pages need a privilege that ordinary accounts lack, so
// none are asked for.
#include "platform/pages.h"

#include "platform/systemError.h"
#include "platform/wideText.h"

#include <windows.h>

namespace vantrel::platform {

void *allocatePages(std::size_t bytes) {
  return ::VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void releasePages(void *block, std::size_t) {
  if (block) ::VirtualFree(block, 0, MEM_RELEASE);
}

namespace {

/// Closes a handle when it goes out of scope; a view keeps its file and mapping by itself.
struct Handle {
  HANDLE h;
  ~Handle() {
    if (h != nullptr && h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
  }
};

/// One range for PrefetchVirtualMemory (WIN32_MEMORY_RANGE_ENTRY, declared here because
/// older headers lack it).
struct MemoryRange {
  void *address;
  SIZE_T bytes;
};
using PrefetchFunction = BOOL(WINAPI *)(HANDLE, ULONG_PTR, MemoryRange *, ULONG);

/// Brings the view's pages in with one request where the system can (Windows 8 and later);
/// elsewhere they come in one fault at a time as they are read.
void prefetch(void *view, std::size_t size) {
  static const auto function = reinterpret_cast<PrefetchFunction>(reinterpret_cast<void *>(
      ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "PrefetchVirtualMemory")));
  if (function == nullptr) return;
  MemoryRange range{view, size};
  (void)function(::GetCurrentProcess(), 1, &range, 0);
}

} // namespace

void detail::unmapView(std::uint8_t *data, std::size_t) {
  ::UnmapViewOfFile(data);
}

std::unique_ptr<MappedFile> MappedFile::open(const std::string &path, std::string &why) {
  why.clear();
  // Shared as the program's other readers share a file; the view holds the file open on its
  // own once these handles are closed, and while it does the file can be neither removed
  // nor replaced.
  Handle file{::CreateFileW(detail::toWidePath(path).c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr)};
  if (file.h == INVALID_HANDLE_VALUE) {
    why = detail::describeSystemError(static_cast<int>(::GetLastError()));
    return nullptr;
  }
  // Only regular files on a disk are mapped; an empty file has nothing to map (and the
  // system refuses to map it).
  LARGE_INTEGER size;
  if (::GetFileType(file.h) != FILE_TYPE_DISK || !::GetFileSizeEx(file.h, &size) || size.QuadPart <= 0) {
    return nullptr;
  }
  if (static_cast<unsigned long long>(size.QuadPart) > SIZE_MAX) return nullptr;
  // Copy-on-write: the holder may change its copy (a header, mirrored bits) without touching
  // the file; only the pages it writes are copied.
  Handle mapping{::CreateFileMappingW(file.h, nullptr, PAGE_WRITECOPY, 0, 0, nullptr)};
  if (mapping.h == nullptr) {
    why = detail::describeSystemError(static_cast<int>(::GetLastError()));
    return nullptr;
  }
  void *view = ::MapViewOfFile(mapping.h, FILE_MAP_COPY, 0, 0, 0);
  if (view == nullptr) {
    why = detail::describeSystemError(static_cast<int>(::GetLastError()));
    return nullptr;
  }
  const auto bytes = static_cast<std::size_t>(size.QuadPart);
  prefetch(view, bytes);
  return std::unique_ptr<MappedFile>(new MappedFile(static_cast<std::uint8_t *>(view), bytes));
}

bool mappedFilesStayRemovable() {
  return false;
}

} // namespace vantrel::platform
