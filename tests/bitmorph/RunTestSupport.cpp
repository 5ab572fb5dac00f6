// Whole-run helpers: folders and files by UTF-8 names, and background driver runs.
#include "RunTestSupport.h"

#include "hostText/FilePath.h"
#include "platform/environment.h"
#include "platform/file.h"

#include <filesystem>
#include <sstream>

namespace vantrel::bitmorph::test {

namespace {
constexpr bool WINDOWS = BM_TEST_WINDOWS != 0;
using hostText::pathUtf8;
using hostText::utf8Path;
} // namespace

std::string userFolder(const ScratchDir &scratch) {
  const std::filesystem::path folder =
      scratch.path() / utf8Path("Run's v1.2 \xC3\xA9\xE2\x82\xAC \xD0\x96 \xE6\x97\xA5\xE6\x9C\xAC");
  std::filesystem::create_directories(folder);
  return hostPath(pathUtf8(folder));
}

std::string inFolder(const std::string &folder, const std::string &name) {
  return folder + (WINDOWS ? "\\" : "/") + name;
}

FolderContents folderContents(const std::string &folder) {
  FolderContents contents;
  for (const auto &entry : std::filesystem::directory_iterator(utf8Path(folder))) {
    const std::string name = pathUtf8(entry.path().filename());
    contents[name] = vantrel::testing::readBytes(inFolder(folder, name));
  }
  return contents;
}

void restoreFolder(const std::string &folder, const FolderContents &contents) {
  for (const auto &[name, content] : folderContents(folder)) {
    if (contents.count(name) == 0) platform::removeFile(inFolder(folder, name));
  }
  for (const auto &[name, content] : contents)
    vantrel::testing::writeBytes(inFolder(folder, name), content);
}

std::vector<std::uint64_t> loggedProcessIds(const std::string &path) {
  std::vector<std::uint64_t> pids;
  std::istringstream lines(vantrel::testing::readBytes(path));
  for (std::uint64_t pid; lines >> pid;)
    pids.push_back(pid);
  return pids;
}

} // namespace vantrel::bitmorph::test
