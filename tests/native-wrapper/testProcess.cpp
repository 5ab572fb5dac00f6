// Test helpers shared by both platforms: scratch folders under the build machine's /tmp.
#include "testProcess.h"

#include "hostText/FilePath.h"

#include <filesystem>
#include <system_error>
#include <vector>

namespace launcher_test {

namespace {

std::vector<std::string> &madeDirs() {
  static std::vector<std::string> dirs;
  return dirs;
}

} // namespace

std::string makeTempDir(const std::string &tag, const std::string &name) {
  static int counter = 0;
  const std::string base = hostPath("/tmp/bmlaunch-" + tag + "-" + std::to_string(currentProcessId()) + "-" +
                                    std::to_string(++counter));
  const std::string dir = name.empty() ? base : base + (exeSuffix().empty() ? "/" : "\\") + name;
  std::error_code ignored;
  std::filesystem::remove_all(vantrel::hostText::utf8Path(base), ignored);
  std::filesystem::create_directories(vantrel::hostText::utf8Path(dir));
  madeDirs().push_back(base);
  return dir;
}

void removeTempDirs() {
  std::error_code ignored;
  for (const std::string &dir : madeDirs())
    std::filesystem::remove_all(vantrel::hostText::utf8Path(dir), ignored);
  madeDirs().clear();
}

} // namespace launcher_test
