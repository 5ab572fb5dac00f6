// Tests of CommandLine: argument handling, the command string, and the child start with
// exit codes, launch errors and captured output.
#include "commandLine.h"
#include "launcherPlatform.h"
#include "launcherTestSupport.h"
#include "launcherTexts.h"

#include <gtest/gtest.h>

using namespace vantrel::launcher;
using namespace launcher_test;

namespace {

std::vector<std::string> argsOf(const CommandLine &cmd) {
  std::vector<std::string> list;
  for (int i = 0; i < cmd.getNumArgs(); ++i)
    list.push_back(cmd.getArg(i));
  return list;
}

std::string cygpathProgram() {
  return fakeToolsDir() + (onWindows() ? "\\" : "/") + "cygpath" + exeSuffix();
}

/// A capturing cygpath command for path.
struct CygpathCommand {
  explicit CygpathCommand(const std::string &path) : cmd(cygpathProgram()) {
    cmd.addArg("--mixed");
    cmd.addArg(path);
    cmd.setCaptureOutput(true);
    cmd.setOut(out.stream());
    cmd.setErr(err.stream());
  }
  CapturedStream out, err;
  CommandLine cmd;
};

} // namespace

TEST(CommandLineArgs, KeepsArgumentsInOrderAndGrowsPastSixteen) {
  std::vector<std::string> texts;
  std::vector<const char *> raw;
  for (int i = 0; i < 20; ++i)
    texts.push_back("arg" + std::to_string(i));
  for (const std::string &t : texts)
    raw.push_back(t.c_str());
  CommandLine cmd("prog", static_cast<int>(raw.size()), raw.data());
  EXPECT_EQ(cmd.getNumArgs(), 20);
  EXPECT_EQ(argsOf(cmd), texts);
  EXPECT_EQ(cmd.getProgramName(), "prog");
}

TEST(CommandLineArgs, ConsumesVerboseAndDisableExecOnly) {
  const char *raw[] = {"a", "--wrapper-verbose",      "--wrapper-load-jvm-in-process",
                       "b", "--wrapper-disable-exec", "--wrapper-verbose=1"};
  CommandLine cmd("prog", 6, raw);
  EXPECT_TRUE(cmd.isVerbose());
  EXPECT_FALSE(cmd.isExec());
  // A plain command knows only its own two options; the comparison is exact.
  EXPECT_EQ(argsOf(cmd),
            (std::vector<std::string>{"a", "--wrapper-load-jvm-in-process", "b", "--wrapper-verbose=1"}));
}

TEST(CommandLineArgs, DefaultsAreVerboseOffAndExecOn) {
  CommandLine cmd("prog");
  EXPECT_FALSE(cmd.isVerbose());
  EXPECT_TRUE(cmd.isExec());
  EXPECT_EQ(cmd.getNumArgs(), 0);
  EXPECT_EQ(cmd.getOut(), stdout);
  EXPECT_EQ(cmd.getErr(), stderr);
}

TEST(CommandLineArgs, SetArgReplacesOneArgument) {
  const char *raw[] = {"a", "b", "c"};
  CommandLine cmd("prog", 3, raw);
  cmd.setArg(1, "B");
  EXPECT_EQ(argsOf(cmd), (std::vector<std::string>{"a", "B", "c"}));
}

TEST(CommandString, QuotesProgramAndEachArgumentFollowedBySpace) {
  const char *raw[] = {"in.sof", "with space", ""};
  CommandLine cmd("uname", 3, raw);
  EXPECT_EQ(cmd.getCommandString(), "\"uname\" \"in.sof\" \"with space\" \"\" ");
  EXPECT_EQ(CommandLine("uname").getCommandString(), "\"uname\" ");
}

class CommandLineRun : public LauncherEnvironmentTest {};

TEST_F(CommandLineRun, DisabledExecEchoesCommandAndReturnsZero) {
  const char *raw[] = {"--wrapper-verbose", "x", "--wrapper-disable-exec"};
  CommandLine cmd("/no/such/program", 3, raw);
  CapturedStream out, err;
  cmd.setOut(out.stream());
  cmd.setErr(err.stream());
  EXPECT_EQ(cmd.run(), 0);
  EXPECT_EQ(out.text(), "\"/no/such/program\" \"x\" \n");
  EXPECT_EQ(err.text(), "");
}

TEST_F(CommandLineRun, DisabledExecWithoutVerbosePrintsNothing) {
  const char *raw[] = {"--wrapper-disable-exec"};
  CommandLine cmd("/no/such/program", 1, raw);
  CapturedStream out, err;
  cmd.setOut(out.stream());
  cmd.setErr(err.stream());
  EXPECT_EQ(cmd.run(), 0);
  EXPECT_EQ(out.text(), "");
  EXPECT_EQ(err.text(), "");
}

TEST_F(CommandLineRun, ChildExitCodePassesThrough) {
  CommandLine cmd(fakeJavaPath());
  CapturedStream err;
  cmd.setErr(err.stream());
  setEnv("FAKE_JAVA_EXIT", "3");
  EXPECT_EQ(cmd.run(), 3);
  setEnv("FAKE_JAVA_EXIT", "0");
  EXPECT_EQ(cmd.run(), 0);
  EXPECT_EQ(err.text(), "");
}

TEST_F(CommandLineRun, ExitCodeWithTopBitKeepsEveryBitOnWindows) {
  if (!onWindows()) GTEST_SKIP() << "POSIX exit codes have 8 bits";
  CommandLine cmd(fakeJavaPath());
  setEnv("FAKE_JAVA_EXIT", "0xE0000001");
  EXPECT_EQ(static_cast<unsigned>(cmd.run()), 0xE0000001u);
}

TEST_F(CommandLineRun, MissingProgramReportsLaunchErrorWithCommandString) {
  const char *raw[] = {"a b"};
  CommandLine cmd("/no/such/program", 1, raw);
  CapturedStream out, err;
  cmd.setOut(out.stream());
  cmd.setErr(err.stream());
  EXPECT_EQ(cmd.run(), -1);
  // The system's reason follows: a missing folder on the way is ERROR_PATH_NOT_FOUND (3) on
  // Windows, ENOENT (2) on POSIX.
  EXPECT_EQ(err.text(), "Error - failed to launch '\"/no/such/program\" \"a b\" '.\nReason: " +
                            platform::errorText(onWindows() ? 3 : 2) + "\n");
  EXPECT_EQ(out.text(), "");
}

TEST_F(CommandLineRun, MissingToolIsSilentAndLeavesNoTemporaryFile) {
  std::string dir = useFreshTempDir();
  CommandLine cmd("/no/such/tool");
  cmd.setReportLaunchErrors(false);
  cmd.setCaptureOutput(true);
  CapturedStream out, err;
  cmd.setOut(out.stream());
  cmd.setErr(err.stream());
  EXPECT_EQ(cmd.run(), -1);
  EXPECT_EQ(err.text(), "");
  EXPECT_EQ(out.text(), "");
  EXPECT_TRUE(filesIn(dir).empty());
}

TEST_F(CommandLineRun, FailedWaitReportsLaunchErrorAndRemovesTemporaryFile) {
  std::string dir = useFreshTempDir();
  CygpathCommand tool("/cygdrive/c/x");
  platform::injectFailure(platform::FailPoint::ProcessWait, 6);
  EXPECT_EQ(tool.cmd.run(), -1);
  EXPECT_EQ(tool.err.text(), "Error - failed to launch '" + tool.cmd.getCommandString() +
                                 "'.\nReason: " + platform::errorText(6) + "\n");
  EXPECT_TRUE(filesIn(dir).empty());
}

TEST_F(CommandLineRun, FailedStartReportsNothingWhenReportingIsOff) {
  std::string dir = useFreshTempDir();
  CygpathCommand tool("/cygdrive/c/x");
  tool.cmd.setReportLaunchErrors(false);
  platform::injectFailure(platform::FailPoint::ProcessStart, 2);
  EXPECT_EQ(tool.cmd.run(), -1);
  EXPECT_EQ(tool.err.text(), "");
  EXPECT_TRUE(filesIn(dir).empty());
}

class CommandLineCapture : public LauncherEnvironmentTest {};

TEST_F(CommandLineCapture, ReadsOutputBackAndRemovesOneNewline) {
  std::string dir = useFreshTempDir();
  CygpathCommand tool("/cygdrive/c/Work/a.sof");
  EXPECT_EQ(tool.cmd.run(), 0);
  EXPECT_EQ(tool.cmd.getCapturedOutput(), "C:/Work/a.sof");
  EXPECT_FALSE(tool.cmd.isCapturedOutputCut());
  EXPECT_EQ(tool.out.text(), "");
  EXPECT_TRUE(filesIn(dir).empty());
}

TEST_F(CommandLineCapture, KeepsCarriageReturnBeforeTheNewline) {
  useFreshTempDir();
  setEnv("FAKE_CYGPATH", "crlf");
  CygpathCommand tool("/cygdrive/c/x");
  EXPECT_EQ(tool.cmd.run(), 0);
  EXPECT_EQ(tool.cmd.getCapturedOutput(), "C:/x\r");
}

TEST_F(CommandLineCapture, CutsOutputAfter4095Bytes) {
  std::string dir = useFreshTempDir();
  setEnv("FAKE_CYGPATH", "big");
  CygpathCommand tool("/cygdrive/c/x");
  EXPECT_EQ(tool.cmd.run(), 0);
  EXPECT_EQ(tool.cmd.getCapturedOutput().size(), 4095u);
  EXPECT_EQ(tool.cmd.getCapturedOutput().substr(0, 5), "C:/xc");
  EXPECT_TRUE(tool.cmd.isCapturedOutputCut());
  EXPECT_TRUE(filesIn(dir).empty());
}

TEST_F(CommandLineCapture, EmptyOutputGivesEmptyText) {
  useFreshTempDir();
  setEnv("FAKE_CYGPATH", "empty");
  CygpathCommand tool("/cygdrive/c/x");
  EXPECT_EQ(tool.cmd.run(), 0);
  EXPECT_EQ(tool.cmd.getCapturedOutput(), "");
}

TEST_F(CommandLineCapture, VerboseEchoesCommandAndCapturedOutput) {
  useFreshTempDir();
  CygpathCommand tool("/cygdrive/d/y");
  tool.cmd.setVerbose(true);
  EXPECT_EQ(tool.cmd.run(), 0);
  EXPECT_EQ(tool.out.text(), tool.cmd.getCommandString() + "\nD:/y\n");
}

TEST_F(CommandLineCapture, ToolExitCodeIsReturnedWithItsOutput) {
  useFreshTempDir();
  setEnv("FAKE_CYGPATH", "fail");
  CygpathCommand tool("/cygdrive/c/x");
  EXPECT_EQ(tool.cmd.run(), 1);
  EXPECT_EQ(tool.cmd.getCapturedOutput(), "C:/x");
}

TEST_F(CommandLineCapture, EachRunMakesAndRemovesItsOwnFile) {
  std::string dir = useFreshTempDir();
  CygpathCommand tool("/cygdrive/c/x");
  EXPECT_EQ(tool.cmd.run(), 0);
  EXPECT_EQ(tool.cmd.run(), 0);
  EXPECT_EQ(tool.cmd.getCapturedOutput(), "C:/x");
  EXPECT_TRUE(filesIn(dir).empty());
}

TEST_F(CommandLineCapture, TempDirectoryFailureStopsBeforeTheStart) {
  useFreshTempDir();
  std::string log = makeTempDir("log") + (onWindows() ? "\\" : "/") + "tools.log";
  setEnv("FAKE_TOOL_LOG", log);
  CygpathCommand tool("/cygdrive/c/x");
  platform::injectFailure(platform::FailPoint::TempDirectory, 5);
  EXPECT_EQ(tool.cmd.run(), -1);
  EXPECT_EQ(tool.err.text(), "GetTempPath failed with error 5.\n");
  EXPECT_EQ(readText(log), "");
}

TEST_F(CommandLineCapture, OverlongTempDirectoryIsRefused) {
  std::string dir = useFreshTempDir();
  std::string tooLong = dir + (onWindows() ? "\\" : "/") + std::string(600, 'd');
  for (const char *name : {"TMPDIR", "TMP", "TEMP"})
    setEnv(name, tooLong);
  CygpathCommand tool("/cygdrive/c/x");
  EXPECT_EQ(tool.cmd.run(), -1);
  EXPECT_EQ(tool.err.text().rfind("GetTempPath failed with error ", 0), 0u) << tool.err.text();
}

TEST_F(CommandLineCapture, TempNameFailureIsReported) {
  useFreshTempDir();
  CygpathCommand tool("/cygdrive/c/x");
  platform::injectFailure(platform::FailPoint::TempName, 3);
  EXPECT_EQ(tool.cmd.run(), -1);
  EXPECT_EQ(tool.err.text(), "GetTempFileName failed with error 3.\n");
}

TEST_F(CommandLineCapture, MissingTempDirectoryFailsToMakeAName) {
  std::string dir = useFreshTempDir();
  std::string missing = dir + (onWindows() ? "\\" : "/") + "missing";
  for (const char *name : {"TMPDIR", "TMP", "TEMP"})
    setEnv(name, missing);
  CygpathCommand tool("/cygdrive/c/x");
  EXPECT_EQ(tool.cmd.run(), -1);
  EXPECT_EQ(tool.err.text().rfind("GetTempFileName failed with error ", 0), 0u) << tool.err.text();
}

TEST_F(CommandLineCapture, CreateFileFailureIsReportedAndTheNamedFileRemoved) {
  std::string dir = useFreshTempDir();
  CygpathCommand tool("/cygdrive/c/x");
  platform::injectFailure(platform::FailPoint::TempFileCreate, 32);
  EXPECT_EQ(tool.cmd.run(), -1);
  EXPECT_EQ(tool.err.text(), "CreateFile failed with error 32.\n");
  EXPECT_TRUE(filesIn(dir).empty());
}

TEST_F(CommandLineCapture, ReopenFailureKeepsExitCodeAndEarlierOutput) {
  std::string dir = useFreshTempDir();
  CygpathCommand tool("/cygdrive/c/x");
  EXPECT_EQ(tool.cmd.run(), 0);
  setEnv("FAKE_CYGPATH", "fail");
  platform::injectFailure(platform::FailPoint::TempFileOpen, 2);
  EXPECT_EQ(tool.cmd.run(), 1);
  EXPECT_EQ(tool.cmd.getCapturedOutput(), "C:/x");
  std::string err = tool.err.text();
  EXPECT_EQ(err.rfind("Could not open tmp file " + dir, 0), 0u) << err;
  EXPECT_EQ(err.substr(err.size() - std::string(" (error 2)\n").size()), " (error 2)\n");
  EXPECT_TRUE(filesIn(dir).empty());
}

TEST(CommandLineChecks, ArgumentIndexOutsideTheArrayStopsTheProgram) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const char *raw[] = {"a"};
  CommandLine cmd("prog", 1, raw);
  EXPECT_DEATH(cmd.getArg(1), "Assertion failed: arg_num >= 0 && arg_num < num_of_args, "
                              "unit commandLine.cpp");
  EXPECT_DEATH(cmd.setArg(-1, "x"), "Assertion failed: arg_num >= 0 && arg_num < num_of_args");
}
