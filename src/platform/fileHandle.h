// Internal to the file layer: the few raw OS file calls that file.cpp builds its readers
// and writers on; file_posix.cpp and file_win32.cpp each define them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vantrel::platform::detail {

/// A file descriptor (POSIX) or a HANDLE (Win32), widened to one integer type.
using NativeHandle = std::intptr_t;
inline constexpr NativeHandle INVALID_NATIVE_HANDLE = -1;

NativeHandle openForRead(const std::string &path);
/// Creates or truncates (append = false) or opens for appending, creating it if missing.
NativeHandle openForWrite(const std::string &path, bool append);
/// Opens an existing FIFO or device for writing, neither creating nor truncating it; a FIFO
/// that no reader holds open fails at once rather than waiting for one.
NativeHandle openThrough(const std::string &path);
/// The final target of the chain of symbolic links at path, in target (path itself when it
/// is no link; a dangling link's target all the same): 0, or the OS's error number (a loop).
int linkTarget(const std::string &path, std::string &target);
/// 0 when folder ("" is the current folder) is an existing folder; else the OS's error number
/// for a name whose folder is missing, or for one whose "folder" is a file.
int folderError(const std::string &folder);
/// Creates a file that must not exist yet (for temporary names) and holds it the way
/// removeUnheldTemporary detects, until the handle is closed: an exclusive flock (POSIX), an
/// exclusive lock on one byte far beyond the data (Windows).
NativeHandle createExclusive(const std::string &path);
/// Removes the regular file at path unless a writer holds it (see createExclusive); false
/// when it is held, is something else or could not be removed.
bool removeUnheldTemporary(const std::string &path);
/// The names of the entries of folder ("" is the current folder), "." and ".." left out;
/// empty when it cannot be read.
std::vector<std::string> listFolder(const std::string &folder);
/// Reads up to n bytes; count read, 0 at end, -1 on error. Retries interrupted calls.
std::int64_t readSome(NativeHandle handle, void *buffer, std::size_t n);
/// Writes all n bytes or fails (a short write, e.g. on a full disk, is a failure).
bool writeAll(NativeHandle handle, const void *data, std::size_t n);
/// Closes; false when the OS reports an error (e.g. delayed write failure).
bool closeHandle(NativeHandle handle);
/// Size of the open file, or -1.
std::int64_t handleSize(NativeHandle handle);
/// One attempt to move the file from onto to, replacing a file there (never a read-only
/// one): 0, or the OS's error number (systemError.h).
int replaceFile(const std::string &from, const std::string &to);
/// True when a replacement refused with error may succeed a moment later: another program
/// holds the file for now (Windows). Never on POSIX, where nothing holds a name.
bool mayPass(int error);
/// True when path is a read-only file: the read-only attribute (Windows), no write
/// permission for anybody (POSIX).
bool isReadOnlyFile(const std::string &path);

} // namespace vantrel::platform::detail
