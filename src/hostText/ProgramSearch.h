// Where a program named without a folder is looked for: the folders of PATH, never the
// current folder. The OS layers check the candidates; the rules live here once.
#pragma once

#include "hostText/PathText.h"

#include <string>
#include <string_view>
#include <vector>

namespace vantrel::hostText {

/// The file a program name stands for on host: on Windows the name with ".exe" appended
/// unless it ends in it (in any case), since Windows starts no other file by name; the name
/// itself on POSIX.
std::string programFileName(std::string_view program, HostSystem host);

/// The full names to try, in order, for a program named without a folder: one per folder of
/// pathList (':'-separated on POSIX, ';'-separated on Windows, where an entry may stand
/// between quotes). Empty and relative entries are skipped, so the current folder is never
/// searched, not even through "." or an empty entry. On Windows only programs ending in
/// ".exe" count: a name without it gets it appended, so an extensionless file of the same
/// name earlier on PATH cannot shadow the program.
std::vector<std::string> programCandidates(std::string_view program, std::string_view pathList,
                                           HostSystem host);

/// The entries of pathList that programCandidates skips, in order and as written (quotes
/// dropped, "" for an empty entry): the empty and relative ones, which would mean the
/// current folder or a folder found from it.
std::vector<std::string> skippedSearchEntries(std::string_view pathList, HostSystem host);

/// The name a program would have in a skipped entry ("" stands for the current folder):
/// the entry, a separator and programFileName.
std::string inSkippedEntry(std::string_view entry, std::string_view program, HostSystem host);

} // namespace vantrel::hostText
