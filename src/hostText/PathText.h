// The path rules of the host systems as text: which characters separate components, where
// a path's last component starts, whether a path is absolute, and whether a program name
// holds a folder. Both systems' rules live here so that tests check them on every OS; the
// platform layer picks the one it runs on.
#pragma once

#include <cstddef>
#include <string_view>

namespace vantrel::hostText {

/// The naming rules of a host system.
enum class HostSystem { Posix, Windows };

/// True when c separates path components: '/' on POSIX (a backslash is an ordinary
/// character of a file name there); '\' and '/' on Windows.
bool isPathSeparator(char c, HostSystem host);

/// The separator a system writes between a folder and a name.
char preferredSeparator(HostSystem host);

/// Where the last component of path starts: just after its last separator, 0 when it has
/// none. On Windows a drive prefix ("C:top.sof") ends a component too.
std::size_t lastComponentStart(std::string_view path, HostSystem host);

/// True when path names its place without reference to a current folder: "/..." on POSIX;
/// "X:\...", "X:/..." or a "\\server" name on Windows ("\dir" and "X:dir" depend on the
/// current drive or folder).
bool isAbsolutePath(std::string_view path, HostSystem host);

/// True when the file name (one component, no folder) names a device on this system: on
/// Windows NUL, CON, AUX, PRN, COM1-COM9 and LPT1-LPT9 in any case, with or without an
/// extension and with blanks before it ("nul.txt", "Com1 .flash"); never on POSIX, where
/// devices have their own folder.
bool isDeviceName(std::string_view fileName, HostSystem host);

/// True when the program name holds a folder ('/' on POSIX; '\', '/' or a drive's ':' on
/// Windows): such a name is used as named and never searched for.
bool namesFolder(std::string_view program, HostSystem host);

} // namespace vantrel::hostText
