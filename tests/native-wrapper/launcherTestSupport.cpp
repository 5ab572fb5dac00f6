// Shared pieces of the launcher tests.
#include "launcherTestSupport.h"

#include "envUtils.h"
#include "launcherPlatform.h"

#include "hostText/FilePath.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace launcher_test {

bool onWindows() {
  return exeSuffix() == ".exe";
}

std::string fakeJavaPath() {
  return hostPath(FAKE_JAVA_PATH);
}
std::string fakeToolsDir() {
  return hostPath(FAKE_TOOLS_DIR);
}
std::string launcherPath() {
  return hostPath(LAUNCHER_PATH);
}
std::string fakeJvmPath() {
  return hostPath(FAKE_JVM_PATH);
}
std::string fakeJvmDependencyPath() {
  return hostPath(FAKE_JVM_DEPENDENCY_PATH);
}

const std::vector<std::string> &launcherVariables() {
  static const std::vector<std::string> names = {
      "PREXA_ROOTDIR",      "PREXA_ROOTDIR_OVERRIDE",  "PREXA_BINDIR",        "PREXA_BINDIR_OVERRIDE",
      "HLIX_KIT_KORVO",     "HLIX_KIT_KORVO_OVERRIDE", "ZEM_DISABLE_CYGPATH", "NATIVE_WRAP_JRE_DIR_OVERRIDE",
      "FAKE_JAVA_EXIT",     "FAKE_JAVA_SIGNAL",        "FAKE_UNAME",          "FAKE_CYGPATH",
      "FAKE_TOOL_LOG",      "FAKE_JAVA_STOP",          "FAKE_JAVA_CONVERTER", "FAKE_JAVA_PID_FILE",
      "JOB_PARENT_PID_FILE"};
  return names;
}

void LauncherEnvironmentTest::SetUp() {
  std::vector<std::string> names = launcherVariables();
  for (const char *extra : {"PATH", "TMPDIR", "TMP", "TEMP"})
    names.push_back(extra);
  for (const std::string &name : names)
    saved.emplace_back(name, getEnv(name));
  for (const std::string &name : launcherVariables())
    setEnv(name, std::nullopt);
  vantrel::launcher::resetEnvironmentState();
}

void LauncherEnvironmentTest::TearDown() {
  for (const auto &[name, value] : saved)
    setEnv(name, value);
  vantrel::launcher::resetEnvironmentState();
  removeTempDirs();
}

std::string LauncherEnvironmentTest::useFreshTempDir() {
  tempDir = makeTempDir("tmp");
  for (const char *name : {"TMPDIR", "TMP", "TEMP"})
    setEnv(name, tempDir);
  return tempDir;
}

std::string LauncherEnvironmentTest::useFakeCygwin(const std::string &unameMode,
                                                   const std::string &cygpathMode) {
  std::string logDir = makeTempDir("log");
  std::string log = logDir + (onWindows() ? "\\" : "/") + "tools.log";
  setEnv("FAKE_TOOL_LOG", log);
  setEnv("FAKE_UNAME", unameMode);
  setEnv("FAKE_CYGPATH", cygpathMode);
  std::string path = fakeToolsDir();
  if (std::optional<std::string> old = getEnv("PATH")) path += pathListSeparator() + *old;
  setEnv("PATH", path);
  vantrel::launcher::resetEnvironmentState();
  return log;
}

std::vector<std::string> LauncherEnvironmentTest::filesIn(const std::string &dir) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto &entry : std::filesystem::directory_iterator(vantrel::hostText::utf8Path(dir), ec))
    names.push_back(vantrel::hostText::pathUtf8(entry.path().filename()));
  return names;
}

std::string LauncherEnvironmentTest::readText(const std::string &path) {
  std::ifstream in(vantrel::hostText::utf8Path(path), std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

CapturedStream::CapturedStream() : file(std::tmpfile()) {}

CapturedStream::~CapturedStream() {
  if (file) std::fclose(file);
}

std::string CapturedStream::text() {
  std::fflush(file);
  long end = std::ftell(file);
  std::string content(static_cast<size_t>(end), '\0');
  std::rewind(file);
  size_t got = std::fread(content.data(), 1, content.size(), file);
  content.resize(got);
  std::fseek(file, 0, SEEK_END);
  // A text-mode stream on Windows writes CR LF; tests compare with LF.
  std::string out;
  for (size_t i = 0; i < content.size(); ++i) {
    if (content[i] == '\r' && i + 1 < content.size() && content[i + 1] == '\n') continue;
    out += content[i];
  }
  return out;
}

} // namespace launcher_test

namespace launcher_test {

void InstallationTreeTest::SetUp() {
  LauncherEnvironmentTest::SetUp();
  slash = onWindows() ? "\\" : "/";
  makeTree("root");
  useFreshTempDir();
}

void InstallationTreeTest::makeTree(const std::string &rootName, const std::string &java,
                                    const std::string &jvm) {
  std::string top = makeTempDir("e2e");
  root = top + slash + rootName;
  bin = root + slash + "bin64";
  const std::string jre = bin + slash + "jre64" + slash;
  copyFile(launcherPath(), bin + slash + "bitmorph" + exeSuffix());
  copyFile(java, jre + vantrel::launcher::platform::kJavaProgram);
  copyFile(jvm, jre + vantrel::launcher::platform::kVmLibraryFile);
  copyFile(fakeJvmDependencyPath(), jvmDependencyInTree());
  emptyBin = top + slash + "emptybin";
  std::filesystem::create_directories(vantrel::hostText::utf8Path(emptyBin));
}

void InstallationTreeTest::TearDown() {
  EXPECT_TRUE(filesIn(tempDir).empty()) << "temporary files were left behind";
  LauncherEnvironmentTest::TearDown();
}

RunResult InstallationTreeTest::launch(const std::vector<std::string> &args, const EnvChanges &env,
                                       const std::string &workingDir) {
  RunResult result = runProgram(inBin("bitmorph" + exeSuffix()), args, launchEnvironment(env), workingDir);
  // Most checks compare standard output alone; this line explains an empty one.
  if (result.out.empty() && (!result.started || result.exitCode != 0 || !result.err.empty()))
    std::fprintf(stderr,
                 "launcher run: started %d (start error \"%s\"), exit code %u, standard error \"%s\"\n",
                 result.started ? 1 : 0, result.startError.c_str(), static_cast<unsigned>(result.exitCode),
                 result.err.c_str());
  return result;
}

EnvChanges InstallationTreeTest::launchEnvironment(const EnvChanges &env) const {
  // Windows programs still need the system folders on PATH.
  std::string path = onWindows() ? emptyBin + ";C:\\windows\\system32;C:\\windows" : emptyBin;
  EnvChanges all = {{"PREXA_ROOTDIR", root}, {"PATH", path}};
  all.insert(all.end(), env.begin(), env.end());
  return all;
}

std::string InstallationTreeTest::jvmDependencyInTree() const {
  const std::string name = std::filesystem::path(fakeJvmDependencyPath()).filename().string();
  return bin + slash + "jre64" + slash + (onWindows() ? "bin" : "lib") + slash + name;
}

std::string InstallationTreeTest::inBin(const std::string &name) const {
  return bin + slash + name;
}

std::string InstallationTreeTest::expectedBin() const {
  // Only ASCII letters fold: a UTF-8 sequence holds no ASCII byte, so 'É' stays 'É'. The
  // drive letter is upper case already.
  std::string b = bin;
  for (std::size_t i = 0; i < b.size(); ++i) {
    if (b[i] == '\\') b[i] = '/';
    if (onWindows() && i > 0 && b[i] >= 'A' && b[i] <= 'Z') b[i] = static_cast<char>(b[i] - 'A' + 'a');
  }
  return b;
}

std::string InstallationTreeTest::expectedJava() const {
  return onWindows() ? expectedBin() + "\\jre64\\bin\\java.exe" : expectedBin() + "/jre64/bin/java";
}

std::uint32_t InstallationTreeTest::failureStatus() {
  return onWindows() ? 0xFFFFFFFFu : 255u;
}

void touch(const std::string &path) {
  std::ofstream(vantrel::hostText::utf8Path(path), std::ios::binary) << "";
}

void copyFile(const std::string &from, const std::string &to) {
  const std::filesystem::path target = vantrel::hostText::utf8Path(to);
  std::filesystem::create_directories(target.parent_path());
  std::filesystem::copy_file(vantrel::hostText::utf8Path(from), target,
                             std::filesystem::copy_options::overwrite_existing);
}

} // namespace launcher_test
