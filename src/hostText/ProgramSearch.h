// Where a program named without a folder is looked for: the folders of PATH, never the
// current folder. The OS layers check the candidates; the rules live here once.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vantrel::hostText {

/// The naming rules of a host system.
enum class HostSystem { Posix, Windows };

/// True when the program name holds a folder ('/' on POSIX; '\', '/' or a drive's ':' on
/// Windows): such a name is used as named and never searched for.
bool namesFolder(std::string_view program, HostSystem host);

/// True when the path is absolute: "/..." on POSIX; "X:\...", "X:/..." or a "\\server"
/// name on Windows ("\dir" and "X:dir" depend on the current drive or folder).
bool isAbsolutePath(std::string_view path, HostSystem host);

/// The full names to try, in order, for a program named without a folder: one per folder of
/// pathList (':'-separated on POSIX, ';'-separated on Windows, where an entry may stand
/// between quotes). Empty and relative entries are skipped, so the current folder is never
/// searched, not even through "." or an empty entry. On Windows only programs ending in
/// ".exe" count: a name without it gets it appended, so an extensionless file of the same
/// name earlier on PATH cannot shadow the program.
std::vector<std::string> programCandidates(std::string_view program, std::string_view pathList,
                                           HostSystem host);

} // namespace vantrel::hostText
