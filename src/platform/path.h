// Path text of the OS this program runs on: which characters separate the components of a
// path, the last component (the file name), whether a path is absolute. Text only; nothing
// is asked of the file system. The rules of both systems live in hostText/PathText.h; this
// layer picks the one of this OS, so the rest of the code never names an OS.
#pragma once

#include "hostText/PathText.h"

#include <cstddef>
#include <string_view>

namespace vantrel::platform {

/// The naming rules of this OS.
hostText::HostSystem hostSystem();

/// True when c separates path components on this OS: '/' and '\' on Windows, '/' only
/// elsewhere (where a backslash is an ordinary character of a file name).
bool isPathSeparator(char c);

/// Where the last component of path starts: just after its last separator, 0 when it has
/// none. On Windows a drive prefix ("C:top.sof") counts as a separator too.
std::size_t lastComponentStart(std::string_view path);

/// The last component of path (the whole path when it has no separator).
std::string_view lastComponent(std::string_view path);

/// True when path names its place without reference to the current folder: "/..." on
/// POSIX; on Windows a drive with its root ("C:\...", "C:/...") or a network path
/// ("\\server\share"). "C:top" and "\top" depend on a current folder and are relative.
bool isAbsolutePath(std::string_view path);

/// True when the file name (one component) names a device on this OS rather than a file
/// (hostText::isDeviceName): "NUL", "con.txt" on Windows; never on POSIX.
bool isDeviceName(std::string_view fileName);

/// The separator this OS writes between a folder and a name: '\' on Windows, '/' elsewhere.
char preferredSeparator();

} // namespace vantrel::platform
