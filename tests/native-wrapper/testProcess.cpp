// Test helpers shared by both platforms: scratch folders under the build machine's /tmp.
#include "testProcess.h"

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

std::string makeTempDir(const std::string &tag) {
  static int counter = 0;
  std::string dir = hostPath("/tmp/bmlaunch-" + tag + "-" + std::to_string(currentProcessId()) + "-" +
                             std::to_string(++counter));
  std::error_code ignored;
  std::filesystem::remove_all(dir, ignored);
  std::filesystem::create_directories(dir);
  madeDirs().push_back(dir);
  return dir;
}

void removeTempDirs() {
  std::error_code ignored;
  for (const std::string &dir : madeDirs())
    std::filesystem::remove_all(dir, ignored);
  madeDirs().clear();
}

} // namespace launcher_test
