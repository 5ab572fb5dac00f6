// Test helpers for whole runs of the driver: a folder named as a user's may be, its files and
// their contents, and the process ids the test tools log (runs in the background:
// DriverRunner.h).
#pragma once

#include "DriverRunner.h"
#include "support/ScratchDir.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace vantrel::bitmorph::test {

using vantrel::testing::ScratchDir;

/// File name -> content of every file in a folder.
using FolderContents = std::map<std::string, std::string>;

/// A folder inside the scratch folder whose name holds a space, upper case, an apostrophe,
/// a dot, é, €, Ж and 日本 (UTF-8, in the form the program under test uses).
std::string userFolder(const ScratchDir &scratch);

/// The path of name in folder, with the separator of the program under test.
std::string inFolder(const std::string &folder, const std::string &name);

/// The files of folder and their contents.
FolderContents folderContents(const std::string &folder);

/// Makes folder hold exactly contents again (files only).
void restoreFolder(const std::string &folder, const FolderContents &contents);

/// The process ids, one per line, that the test tools appended to the file.
std::vector<std::uint64_t> loggedProcessIds(const std::string &path);

} // namespace vantrel::bitmorph::test
