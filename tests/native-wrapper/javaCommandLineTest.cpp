// Tests of JavaCommandLine: wrapper options, heap options, class path, runtime location and
// the launch command string.
#include "javaCommandLine.h"
#include "envUtils.h"
#include "launcherPrint.h"
#include "launcherTestSupport.h"
#include "launcherTexts.h"

#include "hostText/FilePath.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace vantrel::launcher;
using namespace launcher_test;

namespace {

JavaCommandLine make(std::vector<std::string> texts) {
  std::vector<const char *> raw;
  for (const std::string &t : texts)
    raw.push_back(t.c_str());
  return JavaCommandLine("com.vantrel.bitmorph.Bitmorph", static_cast<int>(raw.size()), raw.data());
}

std::string sep() {
  return std::string(1, pathListSeparator());
}

} // namespace

class JavaCommandLineTest : public LauncherEnvironmentTest {};

TEST_F(JavaCommandLineTest, WrapperOptionsAreConsumedAndTheRestKeepsItsOrder) {
  JavaCommandLine cmd = make({"in.sof", "--wrapper-load-jvm-in-process", "--re-exec-jni-with-env",
                              "--wrapper-verbose", "--help", "--wrapper-disable-exec", "out.flash"});
  EXPECT_TRUE(cmd.isInProcess());
  EXPECT_TRUE(cmd.isVerbose());
  EXPECT_FALSE(cmd.isExec());
  EXPECT_EQ(cmd.getArgs(), (std::vector<std::string>{"in.sof", "--help", "out.flash"}));
  EXPECT_EQ(cmd.getProgramName(), "com.vantrel.bitmorph.Bitmorph");
  EXPECT_EQ(cmd.getVmProgram(), "java");
}

TEST_F(JavaCommandLineTest, OptionsCompareExactlyAndWithCase) {
  JavaCommandLine cmd = make({"--Wrapper-Verbose", "--wrapper-load-jvm-in-process=1", "--jvm-max-heap-size",
                              "--re-exec-jni-with-env2"});
  EXPECT_FALSE(cmd.isVerbose());
  EXPECT_FALSE(cmd.isInProcess());
  EXPECT_EQ(cmd.getMaxHeapSize(), "");
  EXPECT_EQ(cmd.getArgs(), (std::vector<std::string>{"--Wrapper-Verbose", "--wrapper-load-jvm-in-process=1",
                                                     "--jvm-max-heap-size", "--re-exec-jni-with-env2"}));
}

TEST_F(JavaCommandLineTest, TwentyArgumentsPassInOrder) {
  std::vector<std::string> texts;
  for (int i = 0; i < 20; ++i)
    texts.push_back("a" + std::to_string(i));
  EXPECT_EQ(make(texts).getArgs(), texts);
}

TEST_F(JavaCommandLineTest, AddJarWithoutEqualsIsDropped) {
  JavaCommandLine cmd = make({"--wrapper-add-jar", "x"});
  EXPECT_EQ(cmd.getNumJars(), 0);
  EXPECT_EQ(cmd.getArgs(), (std::vector<std::string>{"x"}));
}

TEST_F(JavaCommandLineTest, AddJarIsAPrefixTestAndTakesTextAfterFirstEquals) {
  JavaCommandLine cmd = make({"--wrapper-add-jarfile=lib/a=b.jar", "--wrapper-add-jar=c.jar"});
  EXPECT_EQ(cmd.getNumJars(), 2);
  EXPECT_EQ(cmd.getClassPath(), "c.jar" + sep() + "lib/a=b.jar" + sep());
  EXPECT_EQ(cmd.getNumArgs(), 0);
}

TEST_F(JavaCommandLineTest, AddJarKeepsOnlyJarNames) {
  JavaCommandLine cmd =
      make({"--wrapper-add-jar=a.zip", "--wrapper-add-jar=b.JAR", "--wrapper-add-jar=c.jar"});
  EXPECT_EQ(cmd.getClassPath(), "c.jar" + sep());
}

TEST_F(JavaCommandLineTest, HeapSizesLaterReplacesEarlierAndEmptyMeansNone) {
  JavaCommandLine cmd = make({"--jvm-max-heap-size=1g", "--jvm-max-heap-size=2g", "--jvm-init-heap-size=64m",
                              "--jvm-init-heap-size="});
  cmd.setVmProgram("VM");
  EXPECT_EQ(cmd.getCommandString(), "\"VM\" -Xmx2g \"com.vantrel.bitmorph.Bitmorph\" ");
  EXPECT_EQ(cmd.getVmOptions(), "-Xmx2g");
}

TEST_F(JavaCommandLineTest, BothHeapSizesInitialFirst) {
  JavaCommandLine cmd = make({"--jvm-max-heap-size=2g", "--jvm-init-heap-size=256m"});
  cmd.mergeHeapOptions();
  EXPECT_EQ(cmd.getVmOptions(), "-Xms256m -Xmx2g");
  // Building the string again replaces the tokens instead of adding more.
  cmd.getCommandString();
  cmd.getCommandString();
  EXPECT_EQ(cmd.getVmOptions(), "-Xms256m -Xmx2g");
}

TEST_F(JavaCommandLineTest, HeapMergeReplacesTheTokenWhereItStands) {
  JavaCommandLine cmd = make({"--jvm-init-heap-size=512m", "--jvm-max-heap-size=4g"});
  cmd.appendVmOption("-Dfoo=1");
  cmd.appendVmOption("-Xms1m");
  cmd.appendVmOption("-Dbar=2");
  cmd.appendVmOption("-Xmx1g");
  cmd.mergeHeapOptions();
  EXPECT_EQ(cmd.getVmOptions(), "-Dfoo=1 -Xms512m -Dbar=2 -Xmx4g");
}

TEST_F(JavaCommandLineTest, AppendVmOptionSeparatesBySingleSpaces) {
  JavaCommandLine cmd = make({});
  cmd.appendVmOption("-Da=1");
  EXPECT_EQ(cmd.getVmOptions(), "-Da=1");
  cmd.appendVmOption("-Db=2");
  EXPECT_EQ(cmd.getVmOptions(), "-Da=1 -Db=2");
}

TEST_F(JavaCommandLineTest, ClassPathSortsByteWiseAndEndsWithSeparator) {
  JavaCommandLine cmd =
      make({"--wrapper-add-jar=d/b.jar", "--wrapper-add-jar=d/B.jar", "--wrapper-add-jar=d/a.jar.jar",
            "--wrapper-add-jar=d/a.jar", "--wrapper-add-jar=d/b.jar"});
  std::string s = sep();
  EXPECT_EQ(cmd.getClassPath(),
            "d/B.jar" + s + "d/a.jar" + s + "d/a.jar.jar" + s + "d/b.jar" + s + "d/b.jar" + s);
}

TEST_F(JavaCommandLineTest, JarsOfADirectoryEndInDotJarCaseSensitive) {
  std::string slash = onWindows() ? "\\" : "/";
  // An ordinary folder, and one more than 300 characters down.
  std::string deep = makeTempDir("deepjars");
  while (deep.size() < 320)
    deep += slash + "folder-abcdefghijklmnopqrstuvwxyz";
  for (const std::string &dir : {makeTempDir("jars"), deep}) {
    std::filesystem::create_directories(vantrel::hostText::utf8Path(dir + slash + "sub"));
    for (const char *name : {"a.jar", "B.jar", "x.JAR", "notes.txt", "jar", ".jar"})
      touch(dir + slash + name);
    touch(dir + slash + "sub" + slash + "c.jar");
    JavaCommandLine cmd = make({});
    cmd.addJarsInDir(dir);
    std::string s = sep();
    EXPECT_EQ(cmd.getClassPath(),
              dir + slash + ".jar" + s + dir + slash + "B.jar" + s + dir + slash + "a.jar" + s);
  }
}

TEST_F(JavaCommandLineTest, AJarNameTheRuntimeMayMisreadWithoutAShortNameStopsTheLaunch) {
  if (!onWindows()) GTEST_SKIP() << "a runtime on Linux reads the bytes as they are";
  const std::string dir = makeTempDir("misread", "Werkzeug \xd0\x96");
  touch(dir + "\\a.jar");
  JavaCommandLine cmd = make({});
  cmd.addJarsInDir(dir);
  platform::injectFailure(platform::FailPoint::NoShortNames, 0);
  try {
    cmd.getCommandString();
    ADD_FAILURE() << "the command was built";
  } catch (const LauncherFatalError &error) {
    EXPECT_EQ(std::string(error.what()), formatMessage(kMsgUnreadableForRuntime, dir));
  }
}

TEST_F(JavaCommandLineTest, MissingDirectoryAddsNothing) {
  JavaCommandLine cmd = make({});
  cmd.addJarsInDir(makeTempDir("gone") + (onWindows() ? "\\none" : "/none"));
  EXPECT_EQ(cmd.getNumJars(), 0);
  EXPECT_EQ(cmd.getClassPath(), "");
}

TEST_F(JavaCommandLineTest, JarArrayGrowsPastSixteen) {
  std::vector<std::string> texts;
  for (int i = 10; i < 50; ++i)
    texts.push_back("--wrapper-add-jar=j" + std::to_string(i) + ".jar");
  JavaCommandLine cmd = make(texts);
  EXPECT_EQ(cmd.getNumJars(), 40);
  std::string expected;
  for (int i = 10; i < 50; ++i)
    expected += "j" + std::to_string(i) + ".jar" + sep();
  EXPECT_EQ(cmd.getClassPath(), expected);
}

TEST_F(JavaCommandLineTest, CommandStringWithHeapJarAndArguments) {
  JavaCommandLine cmd =
      make({"in.sof", "--jvm-max-heap-size=2g", "--wrapper-add-jar=lib/a.jar", "out.flash"});
  cmd.setVmProgram("C:/tools/suite/prexa/bin64\\jre64\\bin\\java.exe");
  EXPECT_EQ(cmd.getCommandString(),
            "\"C:/tools/suite/prexa/bin64\\jre64\\bin\\java.exe\" -Xmx2g -cp \"lib/a.jar" + sep() +
                "\" \"com.vantrel.bitmorph.Bitmorph\" \"in.sof\" \"out.flash\" ");
}

TEST_F(JavaCommandLineTest, CommandStringWithoutJarsHasNoClassPathPart) {
  JavaCommandLine cmd = make({"a b"});
  cmd.setVmProgram("java");
  EXPECT_EQ(cmd.getCommandString(), "\"java\" \"com.vantrel.bitmorph.Bitmorph\" \"a b\" ");
}

TEST_F(JavaCommandLineTest, JreDirOverrideNeedsNoSuiteVariable) {
  setEnv("NATIVE_WRAP_JRE_DIR_OVERRIDE", onWindows() ? "D:\\Jre" : "/opt/Jre");
  JavaCommandLine cmd = make({});
  EXPECT_EQ(cmd.getJreDir(), onWindows() ? "D:\\Jre" : "/opt/Jre");
  EXPECT_EQ(cmd.getJavaPath(), onWindows() ? "D:\\Jre\\bin\\java.exe" : "/opt/Jre/bin/java");
}

TEST_F(JavaCommandLineTest, EmptyJreDirOverrideIsUsedAsIs) {
  setEnv("NATIVE_WRAP_JRE_DIR_OVERRIDE", "");
  JavaCommandLine cmd = make({});
  EXPECT_EQ(cmd.getJreDir(), "");
  EXPECT_EQ(cmd.getJavaPath(), onWindows() ? "\\bin\\java.exe" : "/bin/java");
}

TEST_F(JavaCommandLineTest, JreDirOverrideIsExpanded) {
  setEnv("PREXA_ROOTDIR", onWindows() ? "D:\\Suite\\Root" : "/Suite/Root");
  setEnv("NATIVE_WRAP_JRE_DIR_OVERRIDE", onWindows() ? "PREXA_ROOTDIR\\Jre" : "PREXA_ROOTDIR/Jre");
  JavaCommandLine cmd = make({});
  EXPECT_EQ(cmd.getJreDir(), onWindows() ? "D:/suite/root\\Jre" : "/Suite/Root/Jre");
}

TEST_F(JavaCommandLineTest, DefaultJreDirIsBelowTheNormalisedBinDir) {
  setEnv("PREXA_ROOTDIR", onWindows() ? "C:\\Tools\\Suite\\prexa" : "/Tools/Suite/prexa");
  JavaCommandLine cmd = make({});
  EXPECT_EQ(cmd.getJavaPath(), onWindows() ? "C:/tools/suite/prexa/bin64\\jre64\\bin\\java.exe"
                                           : "/Tools/Suite/prexa/bin64/jre64/bin/java");
}

TEST_F(JavaCommandLineTest, BinDirOverrideAloneIsEnough) {
  setEnv("PREXA_BINDIR_OVERRIDE", onWindows() ? "E:\\Bin" : "/Bin");
  JavaCommandLine cmd = make({});
  EXPECT_EQ(cmd.getJreDir(), onWindows() ? "E:/bin\\jre64" : "/Bin/jre64");
}

TEST_F(JavaCommandLineTest, NoSuiteVariableIsAnUndefinedRoot) {
  JavaCommandLine cmd = make({});
  try {
    cmd.getJavaPath();
    FAIL() << "expected an undefined variable";
  } catch (const LauncherFatalError &e) {
    EXPECT_STREQ(e.what(), "ERROR: PREXA_ROOTDIR - Undefined variable\n");
  }
}
