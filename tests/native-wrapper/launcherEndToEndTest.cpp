// The built launcher driven from outside, as a user runs it: wrapper options, installation
// variables, jars beside the executable, the command string, exit codes and launch errors.
#include "launcherPlatform.h"
#include "launcherTestSupport.h"

#include "hostText/FilePath.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

using namespace launcher_test;

namespace {

const std::string kMain = "\"com.vantrel.bitmorph.Bitmorph\" ";

/// What the fake runtime program prints when started with the runtime options vm, the main
/// class and the application arguments args.
std::string javaSaw(const std::vector<std::string> &args, std::vector<std::string> vm = {}) {
  vm.push_back("com.vantrel.bitmorph.Bitmorph");
  vm.insert(vm.end(), args.begin(), args.end());
  std::string text = "java-args " + std::to_string(vm.size()) + "\n";
  for (const std::string &a : vm)
    text += "[" + a + "]\n";
  return text;
}

std::string inQuotes(const std::string &s) {
  return "\"" + s + "\"";
}

} // namespace

class LauncherEntry : public InstallationTreeTest {
protected:
  /// The command string for the application arguments (no VM options, no jars).
  std::string command(const std::vector<std::string> &args, const std::string &vmPart = "") {
    std::string text = inQuotes(expectedJava()) + vmPart + " " + kMain;
    for (const std::string &a : args)
      text += inQuotes(a) + " ";
    return text;
  }
};

TEST_F(LauncherEntry, VerboseEchoesTheCommandAndArgumentsReachTheApplication) {
  RunResult r = launch({"in.sof", "--wrapper-verbose", "out.flash"});
  ASSERT_TRUE(r.started);
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_EQ(r.out, command({"in.sof", "out.flash"}) + "\n" + javaSaw({"in.sof", "out.flash"}));
  EXPECT_EQ(r.err, "");
}

TEST_F(LauncherEntry, WithoutVerboseOnlyTheApplicationSpeaks) {
  RunResult r = launch({"a"});
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_EQ(r.out, javaSaw({"a"}));
}

TEST_F(LauncherEntry, DisableExecPrintsTheCommandAndStartsNothing) {
  RunResult r = launch({"--wrapper-verbose", "--wrapper-disable-exec", "x"});
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_EQ(r.out, command({"x"}) + "\n");
  EXPECT_EQ(r.err, "");
}

TEST_F(LauncherEntry, DisableExecAloneIsSilent) {
  RunResult r = launch({"--wrapper-disable-exec", "x"});
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_EQ(r.out, "");
}

TEST_F(LauncherEntry, TrailingSplashIsRemovedElsewhereItIsPassedOn) {
  EXPECT_EQ(launch({"a", "--splash=2"}).out, javaSaw({"a"}));
  EXPECT_EQ(launch({"--splash=2", "a"}).out, javaSaw({"--splash=2", "a"}));
  EXPECT_EQ(launch({"a", "--splash="}).out, javaSaw({"a"}));
  EXPECT_EQ(launch({"a", "--splash"}).out, javaSaw({"a", "--splash"}));
}

TEST_F(LauncherEntry, WrapperOptionsNeverReachTheApplication) {
  RunResult r =
      launch({"--re-exec-jni-with-env", "a", "--wrapper-add-jar", "--help", "--jvm-max-heap-size=", "b"});
  EXPECT_EQ(r.out, javaSaw({"a", "--help", "b"}));
}

TEST_F(LauncherEntry, TwentyArgumentsInOrder) {
  std::vector<std::string> args;
  for (int i = 0; i < 20; ++i)
    args.push_back("arg" + std::to_string(i));
  EXPECT_EQ(launch(args).out, javaSaw(args));
}

TEST_F(LauncherEntry, ArgumentsWithBlanksQuotesAndBackslashesSurvive) {
  std::vector<std::string> args = {"a b", "say \"hi\"", "dir\\", "x\\\\\"y", "", "tab\there"};
  EXPECT_EQ(launch(args).out, javaSaw(args));
}

TEST_F(LauncherEntry, HeapOptionsLaterWinsEmptyMeansNone) {
  RunResult r = launch({"--wrapper-verbose", "--jvm-max-heap-size=1g", "--jvm-max-heap-size=2g",
                        "--jvm-init-heap-size=", "a"});
  EXPECT_EQ(r.out, command({"a"}, " -Xmx2g") + "\n" + javaSaw({"a"}, {"-Xmx2g"}));
}

TEST_F(LauncherEntry, BothHeapOptionsInitialFirst) {
  RunResult r = launch(
      {"--jvm-max-heap-size=2g", "--wrapper-verbose", "--wrapper-disable-exec", "--jvm-init-heap-size=256m"});
  EXPECT_EQ(r.out, command({}, " -Xms256m -Xmx2g") + "\n");
}

TEST_F(LauncherEntry, JarsBesideTheExecutableAreSortedOnTheClassPath) {
  // Names differ in more than case: Windows file systems would fold b.jar and B.jar.
  for (const char *name : {"b.jar", "C.jar", "a.jar", "x.JAR", "readme.txt"})
    touch(inBin(name));
  std::filesystem::create_directories(inBin("sub.d"));
  touch(inBin("sub.d") + slash + "c.jar");
  std::string s(1, pathListSeparator());
  std::string b = expectedBin() + slash;
  std::string cp = b + "C.jar" + s + b + "a.jar" + s + b + "b.jar" + s;
  RunResult r = launch({"--wrapper-verbose", "in.sof"});
  EXPECT_EQ(r.out, inQuotes(expectedJava()) + " -cp " + inQuotes(cp) + " " + kMain + "\"in.sof\" \n" +
                       javaSaw({"in.sof"}, {"-cp", cp}));
}

TEST_F(LauncherEntry, AddedJarsJoinTheSortAndOtherNamesAreIgnored) {
  touch(inBin("m.jar"));
  std::string s(1, pathListSeparator());
  std::string b = expectedBin() + slash;
  // The installation's paths begin with '/' or "Z:", both below 'x' in byte order.
  RunResult r = launch({"--wrapper-verbose", "--wrapper-disable-exec", "--wrapper-add-jar=x/a.jar",
                        "--wrapper-add-jar=lib.zip", "--wrapper-add-jars=x/B.jar"});
  EXPECT_EQ(r.out, inQuotes(expectedJava()) + " -cp " +
                       inQuotes(b + "m.jar" + s + "x/B.jar" + s + "x/a.jar" + s) + " " + kMain + "\n");
}

TEST_F(LauncherEntry, NoJarsNoClassPathPart) {
  RunResult r = launch({"--wrapper-verbose", "--wrapper-disable-exec"});
  EXPECT_EQ(r.out, command({}) + "\n");
  EXPECT_EQ(r.out.find(" -cp"), std::string::npos);
}

TEST_F(LauncherEntry, ExitCodePassesThrough) {
  RunResult r = launch({"a"}, {{"FAKE_JAVA_EXIT", "3"}});
  EXPECT_EQ(r.exitCode, 3u);
  EXPECT_EQ(r.out, javaSaw({"a"}));
}

TEST_F(LauncherEntry, ExitCodeWithTopBitSetKeepsAllBits) {
  if (!onWindows()) GTEST_SKIP() << "POSIX exit codes have 8 bits";
  EXPECT_EQ(launch({}, {{"FAKE_JAVA_EXIT", "0xE0000001"}}).exitCode, 0xE0000001u);
  EXPECT_EQ(launch({}, {{"FAKE_JAVA_EXIT", "0xFFFFFFFE"}}).exitCode, 0xFFFFFFFEu);
}

TEST_F(LauncherEntry, ChildKilledBySignalGives128PlusSignal) {
  if (onWindows()) GTEST_SKIP() << "no POSIX signals";
  EXPECT_EQ(launch({}, {{"FAKE_JAVA_SIGNAL", "15"}}).exitCode, 143u);
}

TEST_F(LauncherEntry, AFailedLaunchSaysWhyAndWhereTheRuntimesPathBreaks) {
  std::filesystem::remove(bin + slash + "jre64" + slash + "bin" + slash + "java" + exeSuffix());
  touch(root + slash + "notes.txt");
  // The launcher names paths normalised, the root as its bin folder's parent; the runtime's
  // part of the path keeps the built-in separators.
  const std::string normalRoot = expectedBin().substr(0, expectedBin().rfind('/'));
  const std::string s = onWindows() ? "\\" : "/";
  const std::string java = std::string("java") + exeSuffix();
  const std::string meaning =
      " must name the installation folder, whose bin64" + s + "jre64 holds the Java runtime\n";
  struct Case {
    EnvChanges env;
    std::string where;
  };
  const Case cases[] = {
      {{}, expectedBin() + s + "jre64" + s + "bin holds no " + java + "; PREXA_ROOTDIR=" + root},
      {{{"PREXA_ROOTDIR", root + slash + "notes.txt"}},
       normalRoot + "/notes.txt is a file, not a folder; PREXA_ROOTDIR=" + root + slash + "notes.txt"},
      {{{"PREXA_ROOTDIR", bin}},
       expectedBin() + " holds no bin64" + s + "jre64" + s + "bin" + s + java + "; PREXA_ROOTDIR=" + bin},
  };
  for (const Case &c : cases) {
    RunResult r = launch({"in.sof", "a b"}, c.env);
    EXPECT_EQ(r.exitCode, failureStatus());
    EXPECT_EQ(r.out, "");
    // The whole command string, the system's reason, then where the path breaks.
    const std::string launchLine = "Error - failed to launch '" + command({"in.sof", "a b"}) + "'.\n";
    if (c.env.empty()) {
      EXPECT_EQ(r.err.rfind(launchLine, 0), 0u) << r.err;
    }
    const std::size_t reason = r.err.find("'.\nReason: ");
    ASSERT_NE(reason, std::string::npos) << r.err;
    const std::size_t where = r.err.find('\n', reason + 3) + 1;
    EXPECT_GT(where, reason + 12) << r.err; // the reason is not empty
    EXPECT_EQ(r.err.substr(where), c.where + meaning);
  }
  // The in-process start says the same after its own lines.
  RunResult r = launch({"--wrapper-load-jvm-in-process"}, {{"PREXA_ROOTDIR", root + slash + "notes.txt"}});
  EXPECT_EQ(r.exitCode, failureStatus());
  EXPECT_NE(r.err.find("\n" + cases[1].where + meaning), std::string::npos) << r.err;
}

TEST_F(LauncherEntry, UndefinedRootEndsWithMinusOne) {
  RunResult r = launch({"a"}, {{"PREXA_ROOTDIR", std::nullopt}});
  EXPECT_EQ(r.exitCode, failureStatus());
  EXPECT_EQ(r.err, "ERROR: PREXA_ROOTDIR - Undefined variable\n");
  EXPECT_EQ(r.out, "");
}

TEST_F(LauncherEntry, EmptyRootIsUndefined) {
  RunResult r = launch({"a"}, {{"PREXA_ROOTDIR", ""}, {"PREXA_ROOTDIR_OVERRIDE", ""}});
  EXPECT_EQ(r.exitCode, failureStatus());
  EXPECT_EQ(r.err, "ERROR: PREXA_ROOTDIR - Undefined variable\n");
}

TEST_F(LauncherEntry, RootOverrideWinsAndEmptyOverrideIsIgnored) {
  RunResult r = launch({"a"}, {{"PREXA_ROOTDIR", "nowhere"}, {"PREXA_ROOTDIR_OVERRIDE", root}});
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_EQ(r.out, javaSaw({"a"}));
  r = launch({"a"}, {{"PREXA_ROOTDIR_OVERRIDE", ""}});
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_EQ(r.out, javaSaw({"a"}));
}

TEST_F(LauncherEntry, BinDirOverrideAloneIsEnough) {
  RunResult r = launch({"a"}, {{"PREXA_ROOTDIR", std::nullopt}, {"PREXA_BINDIR_OVERRIDE", bin}});
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_EQ(r.out, javaSaw({"a"}));
}

TEST_F(LauncherEntry, JreDirOverrideNeedsNoSuiteVariable) {
  std::string jre = bin + slash + "jre64";
  RunResult r = launch({"--wrapper-verbose", "a"},
                       {{"PREXA_ROOTDIR", std::nullopt}, {"NATIVE_WRAP_JRE_DIR_OVERRIDE", jre}});
  EXPECT_EQ(r.exitCode, 0u);
  std::string java = jre + slash + "bin" + slash + "java" + exeSuffix();
  EXPECT_EQ(r.out, inQuotes(java) + " " + kMain + "\"a\" \n" + javaSaw({"a"}));
}

TEST_F(LauncherEntry, InProcessWithoutTheVmLibraryOrALibraryItNeedsFailsWithTheReason) {
  // The VM library's dependency lies in the runtime's library folder only, and is found there.
  EXPECT_EQ(launch({"--wrapper-load-jvm-in-process", "a"}).exitCode, 0u);
  const std::string library = onWindows() ? expectedBin() + "\\jre64\\bin\\server\\jvm.dll"
                                          : expectedBin() + "/jre64/lib/server/libjvm.so";
  // Windows names no missing module, so the reason says where it looked; dlerror names it.
  const std::string dependencyMissing =
      onWindows() ? "in the system folders or in " + expectedBin() + "\\jre64\\bin\n" : "fakejvmdep.so";
  for (const std::string &gone :
       {jvmDependencyInTree(), bin + slash + "jre64" + slash + vantrel::launcher::platform::kVmLibraryFile}) {
    std::filesystem::remove(vantrel::hostText::utf8Path(gone));
    RunResult r = launch({"--wrapper-load-jvm-in-process", "a"});
    EXPECT_EQ(r.exitCode, failureStatus());
    EXPECT_EQ(r.err.rfind("Cannot load library: '" + library + "'\nReason: ", 0), 0u) << r.err;
    EXPECT_EQ(r.err.find(dependencyMissing) != std::string::npos, gone == jvmDependencyInTree()) << r.err;
    EXPECT_EQ(r.out, "");
  }
}

TEST_F(LauncherEntry, AnInstallationFarDownStartsInBothModes) {
  // Over 300 characters down: the runtime, its libraries, a jar and the Cygwin check's uname.
  // The launcher runs from an ordinary folder (Wine starts no program named that long); the
  // temporary folder is as long as the system takes one, too long for a file name in it.
  std::string deep = "deep";
  while (deep.size() < 320)
    deep += slash + "folder-" + std::to_string(deep.size()) + "-abcdefghijklmnopqrstuvwxyz";
  makeTree(deep);
  const std::string jar = root + slash + "lib" + slash + "a.jar";
  copyFile(fakeJvmDependencyPath(), jar); // any file will do as the jar
  const std::string tools = root + slash + "tools";
  copyFile(fakeToolsDir() + slash + "uname" + exeSuffix(), tools + slash + "uname" + exeSuffix());
  std::string temp = makeTempDir("longtemp");
  while (temp.size() < 250)
    temp += slash + std::string(std::min<std::size_t>(40, 249 - temp.size()), 't');
  std::filesystem::create_directories(vantrel::hostText::utf8Path(temp));
  const std::string launcher = makeTempDir("shallow") + slash + "bitmorph" + exeSuffix();
  copyFile(launcherPath(), launcher);
  const std::string log = makeTempDir("log") + slash + "tools.log";
  std::string path = tools;
  if (onWindows()) path += ";C:\\windows\\system32;C:\\windows";
  const EnvChanges env = launchEnvironment({{"PATH", path},
                                            {"FAKE_UNAME", "linux"},
                                            {"FAKE_TOOL_LOG", log},
                                            {"TMP", temp},
                                            {"TEMP", temp},
                                            {"TMPDIR", temp}});
  const std::string classPath = jar + pathListSeparator();
  RunResult child = runProgram(launcher, {"--wrapper-add-jar=" + jar, "a"}, env);
  EXPECT_EQ(child.exitCode, 0u) << child.err;
  EXPECT_EQ(child.out, javaSaw({"a"}, {"-cp", classPath}));
  RunResult inProcess =
      runProgram(launcher, {"--wrapper-load-jvm-in-process", "--wrapper-add-jar=" + jar, "a"}, env);
  EXPECT_EQ(inProcess.exitCode, 0u) << inProcess.err;
  EXPECT_EQ(inProcess.out, "jvm-args 4\n[-Djava.class.path=" + classPath +
                               "]\n[com/vantrel/bitmorph/Bitmorph]\n[java/lang/String]\n[a]\n");
  EXPECT_EQ(child.err + inProcess.err, "");
  // uname ran each time, and its output came back through a file in the temporary folder.
  EXPECT_EQ(readText(log), "uname\nuname\n");
  EXPECT_TRUE(filesIn(temp).empty());
}

TEST_F(LauncherEntry, InProcessWithDisableExecLoadsNothing) {
  RunResult r = launch({"--wrapper-load-jvm-in-process", "--wrapper-verbose", "--wrapper-disable-exec",
                        "--jvm-init-heap-size=256m", "a"});
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_EQ(r.out, command({"a"}, " -Xms256m") + "\n");
  EXPECT_EQ(r.err, "");
}
