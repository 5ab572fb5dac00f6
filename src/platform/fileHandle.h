// Internal to the file layer: the few raw OS file calls that file.cpp builds its readers
// and writers on; file_posix.cpp and file_win32.cpp each define them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vantrel::platform::detail {

/// A file descriptor (POSIX) or a HANDLE (Win32), widened to one integer type.
using NativeHandle = std::intptr_t;
inline constexpr NativeHandle INVALID_NATIVE_HANDLE = -1;

NativeHandle openForRead(const std::string &path);
/// Creates or truncates (append = false) or opens for appending, creating it if missing.
NativeHandle openForWrite(const std::string &path, bool append);
/// Creates a file that must not exist yet (for temporary names).
NativeHandle createExclusive(const std::string &path);
/// Reads up to n bytes; count read, 0 at end, -1 on error. Retries interrupted calls.
std::int64_t readSome(NativeHandle handle, void *buffer, std::size_t n);
/// Writes all n bytes or fails (a short write, e.g. on a full disk, is a failure).
bool writeAll(NativeHandle handle, const void *data, std::size_t n);
/// Closes; false when the OS reports an error (e.g. delayed write failure).
bool closeHandle(NativeHandle handle);
/// Size of the open file, or -1.
std::int64_t handleSize(NativeHandle handle);

} // namespace vantrel::platform::detail
