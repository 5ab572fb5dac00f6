// Win32 side of the file layer: HANDLEs, attributes, DeleteFileW and MoveFileExW, folder
// listing, and the byte-range lock by which a writer shows that its temporary file is live.
// Paths are UTF-8 here and UTF-16 at each call, in the extended form when they are long.
#include <windows.h>

#include "platform/file.h"
#include "platform/fileHandle.h"
#include "platform/path.h"
#include "platform/wideText.h"

namespace vantrel::platform {

using detail::fromWide;
using detail::toWidePath;

namespace {

HANDLE toHandle(detail::NativeHandle h) {
  return reinterpret_cast<HANDLE>(h);
}

detail::NativeHandle fromHandle(HANDLE h) {
  return h == INVALID_HANDLE_VALUE ? detail::INVALID_NATIVE_HANDLE
                                   : reinterpret_cast<detail::NativeHandle>(h);
}

// FILETIME counts 100 ns steps from 1601-01-01; the epoch of 1970 lies 11644473600 s later.
std::uint64_t fileTimeTicks(const FILETIME &ft) {
  return (static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

/// Nanoseconds since 1970, wrapping around past 2262 (unsigned arithmetic) rather than
/// overflowing: only compared for equality.
std::int64_t fileTimeToUnixNanos(const FILETIME &ft) {
  return static_cast<std::int64_t>((fileTimeTicks(ft) - 116444736000000000ULL) * 100);
}

/// Milliseconds since 1970, rounded down: 64 bits hold every FILETIME this way.
std::int64_t fileTimeToUnixMillis(const FILETIME &ft) {
  return static_cast<std::int64_t>(fileTimeTicks(ft) / 10000) - 11644473600000LL;
}

constexpr DWORD SHARE_ALL = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

/// Opens what path leads to for its attributes only: such an open never stands in the way
/// of another program's, whatever that program shares.
HANDLE openForAttributes(const std::wstring &widePath) {
  return ::CreateFileW(widePath.c_str(), FILE_READ_ATTRIBUTES, SHARE_ALL, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

/// The name the OS gives the open file, in its usual form ("C:\...", "\\server\..."); empty
/// when it cannot tell.
std::wstring finalPathOf(HANDLE h) {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetFinalPathNameByHandleW(h, buffer.data(), static_cast<DWORD>(buffer.size()),
                                                     FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0) return std::wstring();
    if (length < buffer.size()) {
      buffer.resize(length);
      break;
    }
    buffer.assign(length, L'\0');
  }
  if (buffer.rfind(L"\\\\?\\UNC\\", 0) == 0) return L"\\\\" + buffer.substr(8);
  if (buffer.rfind(L"\\\\?\\", 0) == 0) return buffer.substr(4);
  return buffer;
}

/// The absolute form of a path as Win32 reads it: ".", ".." and a drive's current folder
/// resolved, blanks and dots at the end of a name dropped; empty when it cannot tell.
std::wstring fullPathOf(const std::wstring &widePath) {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        ::GetFullPathNameW(widePath.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (length == 0) return std::wstring();
    if (length < buffer.size()) return buffer.substr(0, length);
    buffer.assign(length, L'\0');
  }
}

/// True for a name in the namespace of named pipes ("\\.\pipe\x"): looking at one by
/// opening it would connect to its server.
bool isPipeName(const std::string &path) {
  if (path.size() < 9 || !isPathSeparator(path[0]) || !isPathSeparator(path[1]) ||
      (path[2] != '.' && path[2] != '?') || !isPathSeparator(path[3]) || !isPathSeparator(path[8]))
    return false;
  std::string word = path.substr(4, 4);
  for (char &c : word)
    c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return word == "pipe";
}

} // namespace

namespace detail {

NativeHandle openThrough(const std::string &path) {
  HANDLE h = ::CreateFileW(toWidePath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  return fromHandle(h);
}

int linkTarget(const std::string &path, std::string &target) {
  target = path;
  const std::wstring widePath = toWidePath(path);
  const DWORD attributes = ::GetFileAttributesW(widePath.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
      (attributes & FILE_ATTRIBUTE_DIRECTORY))
    return 0;
  // The OS follows the whole chain; a link that leads nowhere cannot be opened.
  HANDLE h = openForAttributes(widePath);
  if (h == INVALID_HANDLE_VALUE) return static_cast<int>(::GetLastError());
  const std::wstring finalPath = finalPathOf(h);
  const DWORD error = ::GetLastError();
  ::CloseHandle(h);
  if (finalPath.empty()) return static_cast<int>(error);
  target = fromWide(finalPath);
  return 0;
}

int folderError(const std::string &folder) {
  std::string name = folder.empty() ? "." : folder;
  // "C:" alone is the current folder of drive C.
  if (name.back() == ':') name += '.';
  const DWORD attributes = ::GetFileAttributesW(toWidePath(name).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = ::GetLastError();
    // For a file in it, a folder that is not there is a path not found.
    return static_cast<int>(error == ERROR_FILE_NOT_FOUND ? ERROR_PATH_NOT_FOUND : error);
  }
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? 0 : ERROR_DIRECTORY;
}

NativeHandle openForRead(const std::string &path) {
  HANDLE h = ::CreateFileW(toWidePath(path).c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  return fromHandle(h);
}

NativeHandle openForWrite(const std::string &path, bool append) {
  // Deletion is shared: the clean-up of an interrupted run removes the file while this
  // process still has it open.
  HANDLE h = ::CreateFileW(toWidePath(path).c_str(), append ? FILE_APPEND_DATA : GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, append ? OPEN_ALWAYS : CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  return fromHandle(h);
}

namespace {

// The byte a writer locks to show that its temporary file is live: far beyond any data, so
// the lock never stands in the way of reading what was written. Windows lifts the lock when
// the handle closes, also when the process is killed.
constexpr DWORD LIVE_MARK_LOW = 0xFFFFFFFF;
constexpr DWORD LIVE_MARK_HIGH = 0x7FFFFFFF;

bool lockLiveMark(HANDLE h, DWORD flags) {
  OVERLAPPED at{};
  at.Offset = LIVE_MARK_LOW;
  at.OffsetHigh = LIVE_MARK_HIGH;
  return ::LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | flags, 0, 1, 0, &at) != 0;
}

} // namespace

NativeHandle createExclusive(const std::string &path) {
  HANDLE h = ::CreateFileW(toWidePath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                           nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h != INVALID_HANDLE_VALUE) lockLiveMark(h, LOCKFILE_FAIL_IMMEDIATELY);
  return fromHandle(h);
}

bool removeUnheldTemporary(const std::string &path) {
  HANDLE h = ::CreateFileW(toWidePath(path).c_str(), GENERIC_READ | DELETE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                           FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info;
  FILE_DISPOSITION_INFO dispose{TRUE};
  // A regular file whose live mark nobody holds: deleted through this handle, so that the
  // file deleted is the one examined.
  const bool removed = ::GetFileInformationByHandle(h, &info) &&
                       !(info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) &&
                       lockLiveMark(h, LOCKFILE_FAIL_IMMEDIATELY) &&
                       ::SetFileInformationByHandle(h, FileDispositionInfo, &dispose, sizeof dispose);
  ::CloseHandle(h);
  return removed;
}

std::vector<std::string> listFolder(const std::string &folder) {
  std::vector<std::string> names;
  std::string pattern = folder;
  if (!pattern.empty() && pattern.back() != '\\' && pattern.back() != '/' && pattern.back() != ':')
    pattern += '\\';
  pattern += '*';
  WIN32_FIND_DATAW found;
  HANDLE search = ::FindFirstFileW(toWidePath(pattern).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = fromWide(found.cFileName);
    if (name != "." && name != "..") names.push_back(name);
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
  return names;
}

std::int64_t readSome(NativeHandle handle, void *buffer, std::size_t n) {
  DWORD got = 0;
  const DWORD want = n > 0x40000000 ? 0x40000000 : static_cast<DWORD>(n);
  if (!::ReadFile(toHandle(handle), buffer, want, &got, nullptr))
    return ::GetLastError() == ERROR_BROKEN_PIPE ? 0 : -1;
  return got;
}

bool writeAll(NativeHandle handle, const void *data, std::size_t n) {
  const char *p = static_cast<const char *>(data);
  while (n > 0) {
    const DWORD chunk = n > 0x40000000 ? 0x40000000 : static_cast<DWORD>(n);
    DWORD put = 0;
    if (!::WriteFile(toHandle(handle), p, chunk, &put, nullptr) || put == 0) return false;
    p += put;
    n -= put;
  }
  return true;
}

bool closeHandle(NativeHandle handle) {
  return ::CloseHandle(toHandle(handle)) != 0;
}

std::int64_t handleSize(NativeHandle handle) {
  LARGE_INTEGER size;
  if (!::GetFileSizeEx(toHandle(handle), &size)) return -1;
  return size.QuadPart;
}

int replaceFile(const std::string &from, const std::string &to) {
  // MoveFileExW refuses to replace a read-only file; asked first, so that it is refused
  // the same way wherever the OS (or a layer that emulates it) would let it pass.
  if (isReadOnlyFile(to)) return ERROR_ACCESS_DENIED;
  if (::MoveFileExW(toWidePath(from).c_str(), toWidePath(to).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return 0;
  return static_cast<int>(::GetLastError());
}

bool mayPass(int error) {
  // A file that another program holds open without sharing its deletion (a viewer, a flash
  // programmer, a virus scanner, an indexer or a sync client looking at it) refuses to be
  // replaced until it lets go; depending on how it was opened the OS says so either way.
  return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED;
}

bool isReadOnlyFile(const std::string &path) {
  const DWORD attributes = ::GetFileAttributesW(toWidePath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) == FILE_ATTRIBUTE_READONLY;
}

} // namespace detail

std::optional<FileStatus> statFile(const std::string &path) {
  const std::wstring widePath = toWidePath(path);
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!::GetFileAttributesExW(widePath.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  FileStatus status;
  status.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  status.modifiedNanos = fileTimeToUnixNanos(data.ftLastWriteTime);
  status.modifiedMillis = fileTimeToUnixMillis(data.ftLastWriteTime);
  status.changedNanos = fileTimeToUnixNanos(data.ftCreationTime);
  status.isDirectory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  // The volume serial number and file index identify the file itself, as device and inode do.
  HANDLE h = ::CreateFileW(widePath.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h != INVALID_HANDLE_VALUE) {
    BY_HANDLE_FILE_INFORMATION info;
    if (::GetFileInformationByHandle(h, &info)) {
      status.device = info.dwVolumeSerialNumber;
      status.fileId = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    }
    ::CloseHandle(h);
  }
  return status;
}

bool fileExists(const std::string &path) {
  return ::GetFileAttributesW(toWidePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool removeFile(const std::string &path) {
  const std::wstring widePath = toWidePath(path);
  // A folder, a link or a device is nobody's output: never removed.
  const DWORD attributes = ::GetFileAttributesW(widePath.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES ||
      (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE)) != 0)
    return false;
  // A file that another process has only just closed (a converter that has just exited, a
  // scanner or indexer looking at a new file) can refuse deletion for a moment: such a
  // refusal is retried for up to about 200 ms before it counts.
  for (int attempt = 0;; ++attempt) {
    if (::DeleteFileW(widePath.c_str())) return true;
    const DWORD error = ::GetLastError();
    if ((error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) || attempt == 20) return false;
    ::Sleep(10);
  }
}

FileKind fileKind(const std::string &path) {
  if (isPipeName(path)) return FileKind::Fifo;
  const std::wstring widePath = toWidePath(path);
  HANDLE h = openForAttributes(widePath);
  if (h == INVALID_HANDLE_VALUE) {
    // Held in a way that refuses even this: still a file or folder, as its attributes say.
    const DWORD attributes = ::GetFileAttributesW(widePath.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return FileKind::Missing;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? FileKind::Folder : FileKind::Regular;
  }
  FileKind kind = FileKind::Other;
  BY_HANDLE_FILE_INFORMATION info;
  switch (::GetFileType(h)) {
  case FILE_TYPE_CHAR:
    kind = FileKind::CharacterDevice;
    break;
  case FILE_TYPE_PIPE:
    kind = FileKind::Fifo;
    break;
  case FILE_TYPE_DISK:
    if (::GetFileInformationByHandle(h, &info))
      kind = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? FileKind::Folder : FileKind::Regular;
    break;
  default:
    break;
  }
  ::CloseHandle(h);
  return kind;
}

std::optional<std::string> canonicalName(const std::string &path) {
  const std::wstring full = fullPathOf(toWidePath(path.empty() ? "." : path));
  if (full.empty()) return std::nullopt;
  const std::size_t cut = full.find_last_of(L"\\/");
  std::wstring folder = cut == std::wstring::npos ? full : full.substr(0, cut + 1);
  std::wstring name = cut == std::wstring::npos ? std::wstring() : full.substr(cut + 1);
  if (name.empty()) folder = full;
  HANDLE h = openForAttributes(folder);
  if (h == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info;
  std::wstring key;
  if (::GetFileInformationByHandle(h, &info) && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    key = finalPathOf(h);
  ::CloseHandle(h);
  if (key.empty()) return std::nullopt;
  if (!name.empty()) {
    if (key.back() != L'\\') key += L'\\';
    key += name;
  }
  // Names that differ only in case name one file.
  ::CharUpperBuffW(key.data(), static_cast<DWORD>(key.size()));
  return fromWide(key);
}

const char *lineSeparator() {
  return "\r\n";
}

std::uint32_t currentProcessId() {
  return static_cast<std::uint32_t>(::GetCurrentProcessId());
}

} // namespace vantrel::platform
