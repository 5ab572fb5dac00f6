// End-to-end tests of the whole start chain from an installation-shaped folder: the launcher
// starts the stand-in runtime (as a child, and inside its own process), which runs the
// application archive's native main, which runs the stand-in converter. Both start modes,
// and a real JDK where one is installed, must write identical flash files for every flow;
// the failure paths (no runtime library, no main class, no main, a main that throws) give
// each mode's messages and statuses.
#include "RuntimeTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace fs = std::filesystem;
using runtime_test::EnvChanges;

namespace {

const std::string EXE = runtime_test::isWindows() ? ".exe" : "";
const std::string IN_PROCESS = "--wrapper-load-jvm-in-process";
// -1 from the launcher: all 32 bits on Windows, 255 for a POSIX parent.
const int LAUNCH_FAILED = runtime_test::isWindows() ? -1 : 255;

// An installation root P with P/bin64 holding the launcher, the archive, the native
// library, the stand-in runtime and the suite's stand-in tools.
std::string makeInstallation(const std::string &tag, const std::string &jar,
                             const std::string &nativeLibrary) {
  const std::string root = runtime_test::makeTempDir(tag);
  const fs::path bin = fs::path(root) / "bin64";
  fs::create_directories(bin);
  EXPECT_TRUE(runtime_test::copyFile(CHAIN_LAUNCHER, (bin / ("bitmorph" + EXE)).string()));
  if (!jar.empty()) {
    EXPECT_TRUE(runtime_test::copyFile(jar, (bin / "bitmorph.jar").string()));
  }
  EXPECT_TRUE(runtime_test::copyFile(nativeLibrary, (bin / fs::path(CHAIN_JNI_LIBRARY).filename()).string()));
  EXPECT_TRUE(runtime_test::copyFile(CHAIN_CPF, (bin / ("prexa_cpf" + EXE)).string()));
  EXPECT_TRUE(runtime_test::copyFile(CHAIN_OBJCOPY, (bin / ("korvo-elf-objcopy" + EXE)).string()));
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
  for (const auto &entry : fs::directory_iterator(dir))
    files[entry.path().filename().string()] = runtime_test::readText(entry.path().string()).value_or("");
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
  EXPECT_EQ(r.err, "Cannot load library: '" + library + "'\n");
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

TEST(ChainExitCodes, ApplicationCodeIsTheProcessStatusInBothModes) {
  const std::string root = makeInstallation("exitcode", CHAIN_JAR, CHAIN_JNI_LIBRARY);
  for (const std::string &mode : {std::string("--wrapper-verbose"), IN_PROCESS}) {
    auto r = runtime_test::run(
        {root + "/bin64/bitmorph" + EXE, mode, "--input=no-such.sof", "--output=x.flash", "--offset=0"},
        environmentFor(root));
    EXPECT_EQ(r.exitCode, 3) << mode << r.out << r.err;
  }
}
