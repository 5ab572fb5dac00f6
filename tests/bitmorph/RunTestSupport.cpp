// Whole-run helpers: folders and files by UTF-8 names, and background driver runs.
#include "RunTestSupport.h"

#include "hostText/FilePath.h"
#include "platform/environment.h"
#include "platform/file.h"
#include "utilities/Launcher.h"
#include "utilities/Utilities.h"

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
    contents[name] = readFile(inFolder(folder, name));
  }
  return contents;
}

void restoreFolder(const std::string &folder, const FolderContents &contents) {
  for (const auto &[name, content] : folderContents(folder)) {
    if (contents.count(name) == 0) platform::removeFile(inFolder(folder, name));
  }
  for (const auto &[name, content] : contents)
    writeFile(inFolder(folder, name), content);
}

void writeFile(const std::string &path, const std::string &bytes) {
  platform::writeWholeFile(path, bytes.data(), bytes.size());
}

std::string readFile(const std::string &path) {
  const auto bytes = platform::readWholeFile(path);
  return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}

std::vector<std::uint64_t> loggedProcessIds(const std::string &path) {
  std::vector<std::uint64_t> pids;
  std::istringstream lines(readFile(path));
  for (std::uint64_t pid; lines >> pid;)
    pids.push_back(pid);
  return pids;
}

BackgroundRun::BackgroundRun(const std::vector<std::string> &args, const std::vector<std::string> &extra,
                             const std::string &program) {
  std::vector<std::string> environment;
  for (const auto &entry : platform::environmentList()) {
    const std::string name = entry.substr(0, entry.find('='));
    if (name != "PATH" && name != "Path" && name.rfind("BM_", 0) != 0) environment.push_back(entry);
  }
  environment.push_back("PATH=" + hostPath(BM_FAKE_BIN) + (WINDOWS ? ";" : ":") +
                        platform::getEnvironmentVariable("PATH").value_or(""));
  environment.insert(environment.end(), extra.begin(), extra.end());
  std::vector<std::string> command = {hostPath(program)};
  command.insert(command.end(), args.begin(), args.end());
  launcher_ = utilities::Launcher::getInstance(command, environment);
  launcher_->launch();
}

BackgroundRun::~BackgroundRun() = default;

const std::string &BackgroundRun::outputSoFar() {
  result_.out += launcher_->read();
  result_.err += launcher_->readStdErr();
  return result_.out;
}

DriverResult BackgroundRun::finish() {
  while (launcher_->running()) {
    outputSoFar();
    utilities::Utilities::sleep(2);
  }
  outputSoFar();
  result_.exitCode = launcher_->exitValue();
  result_.lines.clear();
  for (const auto &line : splitLines(result_.out))
    result_.lines.push_back(cleanLogLine(line));
  return result_;
}

} // namespace vantrel::bitmorph::test
