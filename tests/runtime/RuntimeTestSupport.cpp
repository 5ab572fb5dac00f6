// Helpers of the runtime and chain tests: running a program and collecting its output, paths
// in the form the programs under test use, and the locations of the built files.
#include "RuntimeTestSupport.h"

#include "platform/environment.h"
#include "platform/file.h"
#include "platform/process.h"
#include "platform/time.h"

#include "hostText/FilePath.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

namespace runtime_test {
namespace {

std::string withoutCarriageReturns(const std::string &text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
  return out;
}

// Drains whatever a stream holds now; false at its end.
bool drain(vantrel::platform::ChildProcess &child, vantrel::platform::ChildStream stream, std::string &into) {
  std::string error;
  const std::int64_t n = child.available(stream, error);
  if (n <= 0) return false;
  std::string buffer(static_cast<std::size_t>(n), '\0');
  const std::int64_t got = child.read(stream, buffer.data(), buffer.size(), error);
  if (got > 0) into.append(buffer.data(), static_cast<std::size_t>(got));
  return got > 0;
}

} // namespace

bool isWindows() {
  return TEST_WINDOWS != 0;
}

char listSeparator() {
  return isWindows() ? ';' : ':';
}

std::string hostPath(const std::string &buildPath) {
  if (!isWindows() || buildPath.empty() || buildPath[0] != '/') return buildPath;
  std::string out = "Z:" + buildPath;
  for (char &c : out)
    if (c == '/') c = '\\';
  return out;
}

RunResult run(const std::vector<std::string> &command, const EnvChanges &env) {
  std::map<std::string, std::string> vars;
  for (const std::string &entry : vantrel::platform::environmentList()) {
    const std::size_t eq = entry.find('=', 1);
    if (eq != std::string::npos) vars[entry.substr(0, eq)] = entry.substr(eq + 1);
  }
  for (const auto &change : env) {
    if (change.second)
      vars[change.first] = *change.second;
    else
      vars.erase(change.first);
  }
  std::vector<std::string> list;
  for (const auto &var : vars)
    list.push_back(var.first + "=" + var.second);
  RunResult result;
  auto child = vantrel::platform::ChildProcess::start(command, list, result.error);
  if (!child) return result;
  result.started = true;
  using vantrel::platform::ChildStream;
  for (;;) {
    const bool running = child->status().state == vantrel::platform::ChildStatus::State::Running;
    bool any = drain(*child, ChildStream::Output, result.out);
    any = drain(*child, ChildStream::Error, result.err) || any;
    if (!running && !any) break;
    if (!any) vantrel::platform::sleepMillis(1);
  }
  // Whatever is still buffered after the end.
  std::string error;
  char buffer[4096];
  for (auto stream : {ChildStream::Output, ChildStream::Error}) {
    std::int64_t n;
    while ((n = child->read(stream, buffer, sizeof buffer, error)) > 0)
      (stream == ChildStream::Output ? result.out : result.err).append(buffer, static_cast<std::size_t>(n));
  }
  result.exitCode = child->status().exitValue();
  result.out = withoutCarriageReturns(result.out);
  result.err = withoutCarriageReturns(result.err);
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
