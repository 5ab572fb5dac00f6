// Test helpers for whole runs of the driver: a folder named as a user's may be, its files and
// their contents, driver runs in the background, and the process ids the test tools log.
#pragma once

#include "DriverRunner.h"
#include "support/ScratchDir.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace vantrel::utilities {
class Launcher;
}

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

/// Writes bytes to path (any characters) and reads a whole file ("" when missing).
void writeFile(const std::string &path, const std::string &bytes);
std::string readFile(const std::string &path);

/// The process ids, one per line, that the test tools appended to the file.
std::vector<std::uint64_t> loggedProcessIds(const std::string &path);

/// A driver run started in the background, with the test tools first on PATH and extra
/// "NAME=value" entries in its environment.
class BackgroundRun {
public:
  BackgroundRun(const std::vector<std::string> &args, const std::vector<std::string> &extraEnvironment,
                const std::string &program = BM_DRIVER_PATH);
  ~BackgroundRun();
  BackgroundRun(const BackgroundRun &) = delete;
  BackgroundRun &operator=(const BackgroundRun &) = delete;

  /// Standard output collected so far (all of it, each call).
  const std::string &outputSoFar();
  /// Waits for the end and returns what the run printed and its exit code.
  DriverResult finish();

private:
  std::unique_ptr<utilities::Launcher> launcher_;
  DriverResult result_;
};

} // namespace vantrel::bitmorph::test
