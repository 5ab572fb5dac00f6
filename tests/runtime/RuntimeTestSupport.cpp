// Helpers of the runtime and chain tests: running a program and collecting its output, paths
// in the form the programs under test use, and the locations of the built files.
#include "RuntimeTestSupport.h"

#include "hostText/FilePath.h"
#include "platform/file.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace runtime_test {

bool isWindows() {
  return TEST_WINDOWS != 0;
}

char listSeparator() {
  return isWindows() ? ';' : ':';
}

RunResult run(const std::vector<std::string> &command, const EnvChanges &env) {
  RunResult result = vantrel::testing::runChild(command, {env});
  result.out = vantrel::testing::unixLineEnds(result.out);
  result.err = vantrel::testing::unixLineEnds(result.err);
  return result;
}

std::string makeTempDir(const std::string &tag, const std::string &name) {
  static std::atomic<int> counter{0};
  namespace fs = std::filesystem;
  // The process id keeps test programs that CTest runs side by side apart.
  const fs::path base =
      vantrel::hostText::utf8Path(TEST_SCRATCH_DIR) /
      (tag + "-" + std::to_string(vantrel::platform::currentProcessId()) + "-" + std::to_string(++counter));
  std::error_code ec;
  fs::remove_all(base, ec);
  const fs::path dir = name.empty() ? base : base / vantrel::hostText::utf8Path(name);
  fs::create_directories(dir, ec);
  return vantrel::hostText::pathUtf8(dir);
}

bool copyFile(const std::string &from, const std::string &to) {
  std::error_code ec;
  std::filesystem::copy_file(vantrel::hostText::utf8Path(from), vantrel::hostText::utf8Path(to),
                             std::filesystem::copy_options::overwrite_existing, ec);
  return !ec;
}

std::optional<std::string> readText(const std::string &path) {
  std::ifstream in(vantrel::hostText::utf8Path(path), std::ios::binary);
  if (!in) return std::nullopt;
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

} // namespace runtime_test
