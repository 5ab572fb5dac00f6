// End-to-end tests of the whole start chain from an installation-shaped folder: the launcher
// starts the stand-in runtime (as a child, and inside its own process), which runs the
// application archive's native main, which runs the stand-in converter. Both start modes,
// and a real JDK where one is installed, must write identical flash files for every flow;
// the failure paths (no runtime library, no main class, no main, a main that throws) give
// each mode's messages and statuses.
#include "RuntimeTestSupport.h"
#include "hostText/FilePath.h"
#include "support/ChildRun.h"
#include "support/ScratchDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>

namespace fs = std::filesystem;
using runtime_test::EnvChanges;
using vantrel::hostText::pathUtf8;
using vantrel::hostText::utf8Path;

namespace {

const std::string EXE = runtime_test::isWindows() ? ".exe" : "";
const std::string IN_PROCESS = "--wrapper-load-jvm-in-process";
// -1 from the launcher: all 32 bits on Windows, 255 for a POSIX parent.
const int LAUNCH_FAILED = runtime_test::isWindows() ? -1 : 255;

// An installation root P with P/bin64 holding the launcher, the archive, the native
// library, the stand-in runtime and the suite's stand-in tools; P is named after tag, or is
// the folder name (any UTF-8 name) inside such a folder.
std::string makeInstallation(const std::string &tag, const std::string &jar, const std::string &nativeLibrary,
                             const std::string &name = "") {
  const std::string root = runtime_test::makeTempDir(tag, name);
  const fs::path bin = utf8Path(root) / "bin64";
  fs::create_directories(bin);
  EXPECT_TRUE(runtime_test::copyFile(CHAIN_LAUNCHER, pathUtf8(bin / ("bitmorph" + EXE))));
  if (!jar.empty()) {
    EXPECT_TRUE(runtime_test::copyFile(jar, pathUtf8(bin / "bitmorph.jar")));
  }
  EXPECT_TRUE(runtime_test::copyFile(nativeLibrary, pathUtf8(bin / fs::path(CHAIN_JNI_LIBRARY).filename())));
  EXPECT_TRUE(runtime_test::copyFile(CHAIN_CPF, pathUtf8(bin / ("prexa_cpf" + EXE))));
  EXPECT_TRUE(runtime_test::copyFile(CHAIN_OBJCOPY, pathUtf8(bin / ("korvo-elf-objcopy" + EXE))));
  std::error_code ec;
  fs::copy(CHAIN_JRE_DIR, bin / "jre64", fs::copy_options::recursive, ec);
  EXPECT_FALSE(ec) << ec.message();
  return root;
}

EnvChanges environmentFor(const std::string &root) {
  const std::string bin = root + (runtime_test::isWindows() ? "\\bin64" : "/bin64");
  const char *path = std::getenv("PATH");
  return {{"PREXA_ROOTDIR", root},
          {"PATH", bin + runtime_test::listSeparator() + (path ? path : "")},
          {"NATIVE_WRAP_JRE_DIR_OVERRIDE", std::nullopt},
          {"LC_ALL", "C.UTF-8"}};
}

// Every file a run left in its folder, by name.
std::map<std::string, std::string> filesIn(const std::string &dir) {
  std::map<std::string, std::string> files;
  for (const auto &entry : fs::directory_iterator(utf8Path(dir)))
    files[pathUtf8(entry.path().filename())] = runtime_test::readText(pathUtf8(entry.path())).value_or("");
  return files;
}

struct Flow {
  const char *name;
  const char *design;
  std::vector<std::string> options;
};

const std::vector<Flow> FLOWS = {
    {"parallel", "ravelle3_blinky.sof", {"--offset=0x20000"}},
    {"parallel_compressed", "ravelle3_blinky.sof", {"--offset=0", "--compress"}},
    {"active_parallel", "ravelle3_blinky.sof", {"--activeparallel", "--offset=0x20000"}},
    {"serial_sprom", "tessary5_uart.sof", {"--sprom"}},
    {"serial_qprom", "ravelle3_blinky.sof", {"--qprom"}},
    {"serial_qprom128", "mirren10_adc.sof", {"--qprom128"}},
    {"loader",
     "ravelle3_blinky.sof",
     {"--kld", "--offset=0x20000", "--optionbit=0x18000", "--programmingmode=FPP"}},
};

class ChainTest : public ::testing::TestWithParam<Flow> {
protected:
  static void SetUpTestSuite() { root = makeInstallation("install", CHAIN_JAR, CHAIN_JNI_LIBRARY); }
  // Runs one flow in a fresh folder; the files it left there.
  std::map<std::string, std::string> convert(const std::string &tag, const std::vector<std::string> &extra,
                                             EnvChanges env) {
    const Flow &flow = GetParam();
    const std::string dir = runtime_test::makeTempDir(std::string(flow.name) + "-" + tag);
    std::vector<std::string> command = {root + "/bin64/bitmorph" + EXE};
    command.insert(command.end(), extra.begin(), extra.end());
    command.push_back(std::string("--input=") + CHAIN_EXAMPLES + "/" + flow.design);
    command.push_back("--output=" + dir + "/design.flash");
    command.insert(command.end(), flow.options.begin(), flow.options.end());
    auto r = runtime_test::run(command, env);
    EXPECT_TRUE(r.started) << r.error;
    EXPECT_EQ(r.exitCode, 0) << tag << "\n" << r.out << r.err;
    return filesIn(dir);
  }
  static std::string root;
};
std::string ChainTest::root;

} // namespace

TEST_P(ChainTest, BothStartModesWriteTheSameFlashFiles) {
  const auto child = convert("child", {}, environmentFor(root));
  const auto inProcess = convert("inprocess", {IN_PROCESS}, environmentFor(root));
  ASSERT_TRUE(child.count("design.flash"));
  EXPECT_EQ(child.at("design.flash").rfind("S", 0), 0u);
  EXPECT_GT(child.at("design.flash").size(), 1000u);
  EXPECT_EQ(child, inProcess);
}

TEST_P(ChainTest, RealJdkWritesTheSameFlashFiles) {
  const std::string jdk = CHAIN_JDK_HOME;
  if (jdk.empty()) GTEST_SKIP() << "no JDK tests in this build";
  const auto standIn = convert("standin", {}, environmentFor(root));
  EnvChanges env = environmentFor(root);
  env.emplace_back("NATIVE_WRAP_JRE_DIR_OVERRIDE", jdk);
  EXPECT_EQ(convert("jdk-child", {}, env), standIn);
  EXPECT_EQ(convert("jdk-inprocess", {IN_PROCESS}, env), standIn);
}

INSTANTIATE_TEST_SUITE_P(Flows, ChainTest, ::testing::ValuesIn(FLOWS),
                         [](const ::testing::TestParamInfo<Flow> &info) {
                           return std::string(info.param.name);
                         });

TEST(ChainFailures, NoRuntimeLibrary) {
  const std::string root = makeInstallation("noruntime", CHAIN_JAR, CHAIN_JNI_LIBRARY);
  const std::string empty = runtime_test::makeTempDir("emptyjre");
  EnvChanges env = environmentFor(root);
  env.emplace_back("NATIVE_WRAP_JRE_DIR_OVERRIDE", empty);
  auto r = runtime_test::run({root + "/bin64/bitmorph" + EXE, IN_PROCESS, "--help"}, env);
  const std::string library =
      empty + (runtime_test::isWindows() ? "\\bin\\server\\jvm.dll" : "/lib/server/libjvm.so");
  EXPECT_EQ(r.err.rfind("Cannot load library: '" + library + "'\nReason: ", 0), 0u) << r.err;
  EXPECT_EQ(r.exitCode, LAUNCH_FAILED);
  r = runtime_test::run({root + "/bin64/bitmorph" + EXE, "--help"}, env);
  EXPECT_EQ(r.err.rfind("Error - failed to launch '", 0), 0u) << r.err;
  EXPECT_EQ(r.exitCode, LAUNCH_FAILED);
}

TEST(ChainFailures, NoMainClass) {
  const std::string root = makeInstallation("nojar", "", CHAIN_JNI_LIBRARY);
  auto r = runtime_test::run({root + "/bin64/bitmorph" + EXE, "--help"}, environmentFor(root));
  EXPECT_EQ(r.err, "Error: Could not find or load main class com.vantrel.bitmorph.Bitmorph\n"
                   "Caused by: java.lang.ClassNotFoundException: com.vantrel.bitmorph.Bitmorph\n");
  EXPECT_EQ(r.exitCode, 1);
  r = runtime_test::run({root + "/bin64/bitmorph" + EXE, IN_PROCESS, "--help"}, environmentFor(root));
  EXPECT_EQ(r.out, "JavaCommandLine: JNI Class Not Found Error: com/vantrel/bitmorph/Bitmorph\n");
  EXPECT_EQ(r.err, "java.lang.NoClassDefFoundError: com/vantrel/bitmorph/Bitmorph\n");
  EXPECT_EQ(r.exitCode, LAUNCH_FAILED);
}

TEST(ChainFailures, NoMainMethod) {
  const std::string root = makeInstallation("nomain", CHAIN_NOMAIN_JAR, CHAIN_JNI_LIBRARY);
  auto r = runtime_test::run({root + "/bin64/bitmorph" + EXE, "--help"}, environmentFor(root));
  EXPECT_EQ(r.err,
            "Error: Main method not found in class com.vantrel.bitmorph.Bitmorph, please define the main "
            "method as:\n   public static void main(String[] args)\n");
  EXPECT_EQ(r.exitCode, 1);
  r = runtime_test::run({root + "/bin64/bitmorph" + EXE, IN_PROCESS, "--help"}, environmentFor(root));
  EXPECT_EQ(r.out, "JavaCommandLine: JNI Incorrect Method ID: main\n");
  EXPECT_EQ(r.err, "java.lang.NoSuchMethodError: main\n");
  EXPECT_EQ(r.exitCode, LAUNCH_FAILED);
}

TEST(ChainFailures, MainThatThrowsFailsInBothModes) {
  const std::string root = makeInstallation("throws", CHAIN_JAR, CHAIN_THROWING_LIBRARY);
  auto r = runtime_test::run({root + "/bin64/bitmorph" + EXE, "--help"}, environmentFor(root));
  EXPECT_EQ(r.err, "Exception in thread \"main\" java.lang.IllegalStateException: main failed on purpose\n");
  EXPECT_EQ(r.exitCode, 1);
  r = runtime_test::run({root + "/bin64/bitmorph" + EXE, IN_PROCESS, "--help"}, environmentFor(root));
  EXPECT_EQ(r.err, "java.lang.IllegalStateException: main failed on purpose\n");
  EXPECT_EQ(r.exitCode, 1);
}

// A failed run ends the process through its runtime (System.exit), on the stand-in runtime
// and on a real JDK, in both start modes: the application's code is the process status and
// the runtime reports nothing of its own. The JDK shows that its own exit path ran: its heap
// report at exit, which a process ended behind the runtime's back never writes.
TEST(ChainExitCodes, ApplicationCodeIsTheProcessStatusInBothModes) {
  const std::string root = makeInstallation("exitcode", CHAIN_JAR, CHAIN_JNI_LIBRARY);
  std::vector<std::string> runtimes = {""}; // the installation's own, the stand-in
  if (!std::string(CHAIN_JDK_HOME).empty()) runtimes.push_back(CHAIN_JDK_HOME);
  for (const std::string &jdk : runtimes) {
    for (const std::string &mode : {std::string("--wrapper-verbose"), IN_PROCESS}) {
      EnvChanges env = environmentFor(root);
      if (!jdk.empty()) {
        env.emplace_back("NATIVE_WRAP_JRE_DIR_OVERRIDE", jdk);
        env.emplace_back("JAVA_TOOL_OPTIONS", "-Xlog:gc+heap+exit=info:stderr");
      }
      auto r = runtime_test::run(
          {root + "/bin64/bitmorph" + EXE, mode, "--input=no-such.sof", "--output=x.flash", "--offset=0"},
          env);
      EXPECT_EQ(r.exitCode, 3) << mode << " " << jdk << r.out << r.err;
      if (jdk.empty())
        EXPECT_EQ(r.err, "") << mode;
      else
        EXPECT_NE(r.err.find("[gc,heap,exit] Heap"), std::string::npos) << mode << "\n" << r.err;
    }
  }
}

// The whole chain in the folders a user lives in: the installation, the working folder and
// every file name hold a space, upper case, an apostrophe, a dot, characters inside the
// Windows ANSI code page (é, €) and outside it (Ж, 日本). Each start mode converts with
// relative names from the working folder into a dotted output folder: the flash file lands
// where asked, its S0 header carries the file name with '?' for each character outside
// ASCII, the intermediates sit beside it (kept with --save, else removed), and the
// converter's command line names the files exactly.
TEST(ChainUnicode, EveryNameOfTheUserSurvivesTheChain) {
  const std::string names = " 'v1.2' \xc3\x89t\xc3\xa9 \xe2\x82\xac \xd0\x96 \xe6\x97\xa5\xe6\x9c\xac";
  const std::string root =
      makeInstallation("uniinstall", CHAIN_JAR, CHAIN_JNI_LIBRARY, "Suite Tools" + names);
  const char sep = runtime_test::isWindows() ? '\\' : '/';
  // "--re-exec-jni-with-env" is taken by the launcher and changes nothing: the child start.
  for (const std::string &mode : {std::string("--re-exec-jni-with-env"), IN_PROCESS}) {
    const std::string work = runtime_test::makeTempDir("uniwork", "Work Dir" + names);
    const std::string design = "Top Design" + names + ".sof";
    const std::string outFolder = "Out v2.0 \xd0\x96";
    const std::string stem = "Flash \xc3\xa9\xe2\x82\xac \xe6\x97\xa5\xe6\x9c\xac";
    ASSERT_TRUE(runtime_test::copyFile(CHAIN_EXAMPLES + std::string(1, sep) + "ravelle3_blinky.sof",
                                       work + sep + design));
    fs::create_directories(utf8Path(work + sep + outFolder));
    const std::string output = outFolder + sep + stem + ".flash";
    const std::string launcher = root + sep + "bin64" + sep + "bitmorph" + EXE;
    const auto r = vantrel::testing::runChild(
        {launcher, mode, "--input=" + design, "--output=" + output, "--offset=0x20000", "--save", "--debug"},
        {environmentFor(root), std::nullopt, work});
    ASSERT_TRUE(r.started) << r.error;
    ASSERT_EQ(r.exitCode, 0) << mode << "\n" << r.out << r.err;
    // The converter's command line, as --debug prints it, names both files byte for byte.
    EXPECT_NE(r.out.find(design), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(outFolder + sep + stem + ".rbf"), std::string::npos) << r.out;
    const auto files = filesIn(work + sep + outFolder);
    std::vector<std::string> left;
    for (const auto &file : files)
      left.push_back(file.first);
    EXPECT_EQ(left, (std::vector<std::string>{stem + ".flash", stem + ".map", stem + ".rbf"})) << mode;
    // S0: "Flash ?? ??.flash" (17 characters), address 0000, then its checksum.
    const std::string header = "Flash ?? ??.flash";
    unsigned sum = static_cast<unsigned>(header.size() + 3);
    char s0[128];
    int at = std::snprintf(s0, sizeof s0, "S0%02X0000", static_cast<unsigned>(header.size() + 3));
    for (unsigned char c : header) {
      at += std::snprintf(s0 + at, sizeof s0 - at, "%02X", c);
      sum += c;
    }
    std::snprintf(s0 + at, sizeof s0 - at, "%02X", ~sum & 0xFF);
    const std::string flash = files.count(stem + ".flash") ? files.at(stem + ".flash") : "";
    EXPECT_EQ(flash.substr(0, flash.find_first_of("\r\n")), s0) << mode;
    // Without --save the intermediate goes, and only the flash file stays.
    const auto again = vantrel::testing::runChild(
        {launcher, mode, "--input=" + design, "--output=" + output, "--offset=0x20000"},
        {environmentFor(root), std::nullopt, work});
    EXPECT_EQ(again.exitCode, 0) << again.out << again.err;
    EXPECT_EQ(filesIn(work + sep + outFolder).size(), 1u) << mode;
  }
}

// A Ctrl-C during a shell loop of runs stops the loop at its first run, in both start modes:
// the launcher, whose runtime died of the interrupt (child start) or whose own process runs
// the application (in-process start), dies of SIGINT itself, which is what tells a shell
// that the run did not handle the interrupt. The test converter comes first on PATH and, at
// its first chunk, interrupts its parent's whole process group as a terminal does.
TEST(ChainInterrupt, AShellLoopStopsAtTheFirstCtrlC) {
  if (runtime_test::isWindows()) GTEST_SKIP() << "a POSIX shell; Windows keeps 0xC000013A";
  const std::string root = makeInstallation("loop", CHAIN_JAR, CHAIN_JNI_LIBRARY);
  const std::string dir = runtime_test::makeTempDir("loop-runs");
  const std::string pids = dir + "/pids.txt";
  EnvChanges env = environmentFor(root);
  for (auto &[name, value] : env)
    if (name == "PATH") value = std::string(CHAIN_FAKE_BIN) + ":" + value.value_or("");
  env.insert(env.end(), {{"BM_FAKE_CHUNK", "16"},
                         {"BM_FAKE_SLOW", "20"},
                         {"BM_FAKE_STOP", ".rbf:1:-2"},
                         {"BM_FAKE_PIDS", pids}});
  for (const bool inProcess : {false, true}) {
    SCOPED_TRACE(inProcess ? "in-process start" : "child start");
    std::vector<std::string> launch = {root + "/bin64/bitmorph" + EXE};
    if (inProcess) launch.push_back(IN_PROCESS);
    launch.insert(launch.end(), {std::string("--input=") + CHAIN_EXAMPLES + "/ravelle3_blinky.sof",
                                 "--output=" + dir + "/design.flash", "--offset=0"});
    auto r = runtime_test::run(launch, env);
    EXPECT_EQ(r.signal, 2) << "status " << r.exitCode << "\n" << r.out << r.err;

    vantrel::testing::writeBytes(pids, "");
    std::vector<std::string> loop = {"bash", "-c", "for i in 1 2 3; do \"$@\"; done", "loop"};
    loop.insert(loop.end(), launch.begin(), launch.end());
    r = runtime_test::run(loop, env);
    EXPECT_EQ(r.signal, 2) << "status " << r.exitCode << "\n" << r.out << r.err;
    const std::string started = runtime_test::readText(pids).value_or("");
    EXPECT_EQ(std::count(started.begin(), started.end(), '\n'), 1) << "the loop went on after the Ctrl-C";
  }
}
