// Tests of envUtils: the variable table, expansion, normalisation, Cygwin detection and
// the conversion of Cygwin paths (with fake uname and cygpath on PATH).
#include "envUtils.h"
#include "javaCommandLine.h"
#include "launcherTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace vantrel::launcher;
using namespace launcher_test;

namespace {

std::string fatalMessage(const std::string &name, bool required) {
  try {
    getVariable(name, required);
  } catch (const LauncherFatalError &e) {
    return e.what();
  }
  return "(no error)";
}

JavaCommandLine make(std::vector<std::string> texts) {
  std::vector<const char *> raw;
  for (const std::string &t : texts)
    raw.push_back(t.c_str());
  return JavaCommandLine("M", static_cast<int>(raw.size()), raw.data());
}

} // namespace

class VariableTableTest : public LauncherEnvironmentTest {};

TEST_F(VariableTableTest, TableHasSixNamesInOrder) {
  std::vector<std::string> names;
  for (const Variable &v : installationTable().var) {
    names.push_back(v.name);
    EXPECT_FALSE(v.resolved);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"PREXA_ROOTDIR", "PREXA_BINDIR", "HLIX_KIT_KORVO",
                                             "NATIVE_WRAP_EXE_DIR", "NATIVE_WRAP_CURRENT_DIR",
                                             "NATIVE_WRAP_PREXA_ROOTDIR_JRE_OFFSET"}));
}

TEST_F(VariableTableTest, EmptyRootOverrideIsIgnored) {
  setEnv("PREXA_ROOTDIR_OVERRIDE", "");
  setEnv("PREXA_ROOTDIR", "root");
  EXPECT_EQ(getVariable("PREXA_ROOTDIR", true), "root");
  setEnv("PREXA_ROOTDIR_OVERRIDE", "other");
  EXPECT_EQ(getVariable("PREXA_ROOTDIR", true), "other");
}

TEST_F(VariableTableTest, BinDirIsRootPlusBin64AndItsOwnVariableIsNeverRead) {
  setEnv("PREXA_BINDIR", "ignored");
  setEnv("PREXA_ROOTDIR", onWindows() ? "D:\\Suite\\Root" : "/Suite/Root");
  EXPECT_EQ(getVariable("PREXA_BINDIR", true), onWindows() ? "D:\\Suite\\Root\\bin64" : "/Suite/Root/bin64");
  setEnv("PREXA_BINDIR_OVERRIDE", "bin");
  EXPECT_EQ(getVariable("PREXA_BINDIR", true), "bin");
}

TEST_F(VariableTableTest, RequiredBinDirWithoutRootNamesTheRoot) {
  setEnv("PREXA_BINDIR", "ignored");
  EXPECT_EQ(fatalMessage("PREXA_BINDIR", true), "ERROR: PREXA_ROOTDIR - Undefined variable\n");
}

TEST_F(VariableTableTest, OptionalBinDirWithoutRootIsTheOverrideAsFound) {
  EXPECT_EQ(getVariable("PREXA_BINDIR", false), std::nullopt);
  setEnv("PREXA_BINDIR_OVERRIDE", "");
  EXPECT_EQ(getVariable("PREXA_BINDIR", false), std::optional<std::string>(""));
}

TEST_F(VariableTableTest, KitOverrideWinsWhenNotEmpty) {
  setEnv("HLIX_KIT_KORVO", "kit");
  setEnv("HLIX_KIT_KORVO_OVERRIDE", "");
  EXPECT_EQ(getVariable("HLIX_KIT_KORVO", true), "kit");
  setEnv("HLIX_KIT_KORVO_OVERRIDE", "kit2");
  EXPECT_EQ(getVariable("HLIX_KIT_KORVO", true), "kit2");
}

TEST_F(VariableTableTest, ExeAndCurrentDirectories) {
  std::filesystem::path exeDir = std::filesystem::path(*getVariable("NATIVE_WRAP_EXE_DIR", true));
  std::string exeName = "launcher_units_test" + exeSuffix();
  EXPECT_TRUE(std::filesystem::exists(exeDir / exeName)) << exeDir;
  EXPECT_EQ(std::filesystem::path(*getVariable("NATIVE_WRAP_CURRENT_DIR", true)),
            std::filesystem::current_path());
}

TEST_F(VariableTableTest, JreOffsetIsAConstant) {
  EXPECT_EQ(getVariable("NATIVE_WRAP_PREXA_ROOTDIR_JRE_OFFSET", true),
            onWindows() ? "\\bin64\\jre64\\bin\\java.exe" : "/bin64/jre64/bin/java");
}

TEST_F(VariableTableTest, OtherNamesArePlainEnvironmentLookups) {
  setEnv("FAKE_TOOL_LOG", "value");
  EXPECT_EQ(getVariable("FAKE_TOOL_LOG", false), "value");
  setEnv("FAKE_TOOL_LOG", std::nullopt);
  EXPECT_EQ(getVariable("FAKE_TOOL_LOG", false), std::nullopt);
}

TEST_F(VariableTableTest, RequiredUndefinedOrEmptyIsFatal) {
  EXPECT_EQ(fatalMessage("HLIX_KIT_KORVO", true), "ERROR: HLIX_KIT_KORVO - Undefined variable\n");
  setEnv("FAKE_TOOL_LOG", "");
  EXPECT_EQ(fatalMessage("FAKE_TOOL_LOG", true), "ERROR: FAKE_TOOL_LOG - Undefined variable\n");
  EXPECT_EQ(fatalMessage("FAKE_TOOL_LOG", false), "(no error)");
}

class ExpansionTest : public LauncherEnvironmentTest {};

TEST_F(ExpansionTest, BinDirIsStoredNormalised) {
  setEnv("PREXA_ROOTDIR", onWindows() ? "D:\\Suite\\Root" : "/Suite/Root");
  EXPECT_EQ(expandVariables("PREXA_BINDIR", installationTable()),
            onWindows() ? "D:/suite/root/bin64" : "/Suite/Root/bin64");
  const Variable &bin = installationTable().var[1];
  EXPECT_TRUE(bin.resolved);
  EXPECT_EQ(bin.value, onWindows() ? "D:/suite/root/bin64" : "/Suite/Root/bin64");
  EXPECT_EQ(bin.value_length, static_cast<int>(bin.value->size()));
}

TEST_F(ExpansionTest, OnlyTheFirstOccurrenceIsReplaced) {
  setEnv("HLIX_KIT_KORVO", "k");
  EXPECT_EQ(expandVariables("HLIX_KIT_KORVO+HLIX_KIT_KORVO", installationTable()), "k+HLIX_KIT_KORVO");
}

TEST_F(ExpansionTest, EarlierRowsAreTriedFirst) {
  setEnv("PREXA_ROOTDIR", "r");
  EXPECT_EQ(expandVariables("NATIVE_WRAP_PREXA_ROOTDIR_JRE_OFFSET", installationTable()),
            "NATIVE_WRAP_r_JRE_OFFSET");
}

TEST_F(ExpansionTest, ValuesAreCachedForTheProcess) {
  setEnv("HLIX_KIT_KORVO", "first");
  EXPECT_EQ(expandVariables("[HLIX_KIT_KORVO]", installationTable()), "[first]");
  setEnv("HLIX_KIT_KORVO", "second");
  EXPECT_EQ(expandVariables("[HLIX_KIT_KORVO]", installationTable()), "[first]");
}

TEST_F(ExpansionTest, TextWithoutNamesIsUnchangedAndNeedsNothing) {
  EXPECT_EQ(expandVariables("plain $PATH text", installationTable()), "plain $PATH text");
}

TEST_F(ExpansionTest, UndefinedNameInTextIsFatal) {
  try {
    expandVariables("x HLIX_KIT_KORVO", installationTable());
    FAIL() << "expected an undefined variable";
  } catch (const LauncherFatalError &e) {
    EXPECT_STREQ(e.what(), "ERROR: HLIX_KIT_KORVO - Undefined variable\n");
  }
}

TEST_F(ExpansionTest, CaseMatters) {
  EXPECT_EQ(expandVariables("prexa_rootdir", installationTable()), "prexa_rootdir");
}

class NormalisationTest : public LauncherEnvironmentTest {};

TEST_F(NormalisationTest, BackslashesBecomeSlashes) {
  std::string path = onWindows() ? "C:\\Tools\\Suite\\prexa" : "/Tools\\Suite\\prexa";
  EXPECT_EQ(normalizePath(path, 260), 0);
  EXPECT_EQ(path, onWindows() ? "C:/tools/suite/prexa" : "/Tools/Suite/prexa");
}

TEST_F(NormalisationTest, DriveLetterIsUpperCasedOnWindowsOnly) {
  std::string path = "d:\\X";
  EXPECT_EQ(normalizePath(path, 260), 0);
  EXPECT_EQ(path, onWindows() ? "D:/x" : "d:/X");
}

TEST_F(NormalisationTest, CygwinPathIsConvertedFirst) {
  useFakeCygwin();
  std::string path = "/cygdrive/c/Work\\Dir";
  EXPECT_EQ(normalizePath(path, 260), 0);
  EXPECT_EQ(path, onWindows() ? "C:/work/dir" : "C:/Work/Dir");
}

TEST_F(NormalisationTest, ConversionThatDoesNotFitGivesMinusOne) {
  useFakeCygwin("cygwin", "long");
  std::string path = "/cygdrive/c/Work\\Dir";
  EXPECT_EQ(normalizePath(path, 260), -1);
  EXPECT_EQ(path, onWindows() ? "/cygdrive/c/work/dir" : "/cygdrive/c/Work/Dir");
}

TEST_F(NormalisationTest, ExpansionKeepsTheRawValueWhenConversionDoesNotFit) {
  useFakeCygwin("cygwin", "long");
  setEnv("PREXA_ROOTDIR", "/cygdrive/c/Root\\Sub");
  EXPECT_EQ(expandVariables("PREXA_ROOTDIR", installationTable()), "/cygdrive/c/Root\\Sub");
}

class CygwinTest : public LauncherEnvironmentTest {};

TEST_F(CygwinTest, UnameAnsweringCygIsCygwinAndAskedOnce) {
  std::string log = useFakeCygwin("cygwin");
  EXPECT_TRUE(isCygwin());
  EXPECT_TRUE(isCygwin());
  EXPECT_EQ(readText(log), "uname\n");
}

TEST_F(CygwinTest, OtherAnswersAreNotCygwin) {
  for (const char *mode : {"linux", "fail", "empty", "bigtail"}) {
    useFakeCygwin(mode);
    EXPECT_FALSE(isCygwin()) << mode;
  }
}

TEST_F(CygwinTest, LongAnswerWithMarkerInTheReadPartIsCygwin) {
  useFakeCygwin("big");
  EXPECT_TRUE(isCygwin());
}

TEST_F(CygwinTest, MissingUnameIsNotCygwinAndSilent) {
  std::string dir = useFreshTempDir();
  setEnv("PATH", makeTempDir("emptybin"));
  resetEnvironmentState();
  EXPECT_FALSE(isCygwin());
  EXPECT_TRUE(filesIn(dir).empty());
}

TEST_F(CygwinTest, ConvertLeavesRelativeAndDrivePathsAlone) {
  std::string log = useFakeCygwin();
  std::string path = "C:/x";
  EXPECT_EQ(cygpathConvert(path, 260), 0);
  EXPECT_EQ(path, "C:/x");
  EXPECT_EQ(readText(log), "");
}

TEST_F(CygwinTest, ConvertUnderCygwin) {
  std::string log = useFakeCygwin();
  std::string path = "/cygdrive/c/Work/a.sof";
  EXPECT_EQ(cygpathConvert(path, 260), 0);
  EXPECT_EQ(path, "C:/Work/a.sof");
  EXPECT_EQ(readText(log), "uname\ncygpath --mixed /cygdrive/c/Work/a.sof\n");
}

TEST_F(CygwinTest, ConvertOutsideCygwinRunsNoCygpath) {
  std::string log = useFakeCygwin("linux");
  std::string path = "/cygdrive/c/x";
  EXPECT_EQ(cygpathConvert(path, 260), 0);
  EXPECT_EQ(path, "/cygdrive/c/x");
  EXPECT_EQ(readText(log), "uname\n");
}

TEST_F(CygwinTest, FailingEmptyOrUnchangedAnswersLeaveThePath) {
  for (const char *mode : {"fail", "empty", "convert"}) {
    useFakeCygwin("cygwin", mode);
    std::string path = std::string(mode) == "convert" ? "/usr/x" : "/cygdrive/c/x";
    std::string before = path;
    EXPECT_EQ(cygpathConvert(path, 260), 0) << mode;
    EXPECT_EQ(path, before) << mode;
  }
}

TEST_F(CygwinTest, AnswerThatDoesNotFitTheLimit) {
  useFakeCygwin("cygwin", "convert");
  std::string path = "/cygdrive/c/abc";
  EXPECT_EQ(cygpathConvert(path, 8), 0); // "C:/abc" has 6 characters
  EXPECT_EQ(path, "C:/abc");
  path = "/cygdrive/c/abcd";
  EXPECT_EQ(cygpathConvert(path, 7), -1); // "C:/abcd" has 7: not shorter than the limit
  EXPECT_EQ(path, "/cygdrive/c/abcd");
  useFakeCygwin("cygwin", "big");
  path = "/cygdrive/c/x";
  EXPECT_EQ(cygpathConvert(path, 260), -1);
  EXPECT_EQ(path, "/cygdrive/c/x");
}

class PrepareEnvironmentTest : public LauncherEnvironmentTest {};

TEST_F(PrepareEnvironmentTest, ConvertsWholePathsAndPathsAfterEquals) {
  useFakeCygwin();
  JavaCommandLine cmd =
      make({"/cygdrive/c/work/a.sof", "--out=/cygdrive/c/work/a.flash", "/mnt/c/x.sof", "--in=/mnt/d/y",
            "/home/u/x.sof", "plain", "--k=v", "/usr/unchanged", "a=b=/cygdrive/e/z"});
  prepareEnvironment(cmd);
  EXPECT_EQ(cmd.getArgs(), (std::vector<std::string>{"C:/work/a.sof", "--out=C:/work/a.flash", "/mnt/c/x.sof",
                                                     "--in=/mnt/d/y", "C:/cygwin64/home/u/x.sof", "plain",
                                                     "--k=v", "/usr/unchanged", "a=b=E:/z"}));
}

TEST_F(PrepareEnvironmentTest, DisabledByOneOnly) {
  std::string log = useFakeCygwin();
  setEnv("ZEM_DISABLE_CYGPATH", "1");
  JavaCommandLine cmd = make({"/cygdrive/c/a.sof"});
  prepareEnvironment(cmd);
  EXPECT_EQ(cmd.getArgs(), (std::vector<std::string>{"/cygdrive/c/a.sof"}));
  EXPECT_EQ(readText(log), "");
  setEnv("ZEM_DISABLE_CYGPATH", "yes");
  prepareEnvironment(cmd);
  EXPECT_EQ(cmd.getArgs(), (std::vector<std::string>{"C:/a.sof"}));
}

TEST_F(PrepareEnvironmentTest, NothingOutsideCygwin) {
  std::string log = useFakeCygwin("linux");
  JavaCommandLine cmd = make({"/cygdrive/c/a.sof", "--o=/cygdrive/c/b"});
  prepareEnvironment(cmd);
  EXPECT_EQ(cmd.getArgs(), (std::vector<std::string>{"/cygdrive/c/a.sof", "--o=/cygdrive/c/b"}));
  EXPECT_EQ(readText(log), "uname\n");
}

TEST_F(PrepareEnvironmentTest, FailingEmptyOrOverlongAnswersLeaveArguments) {
  for (const char *mode : {"fail", "empty", "big"}) {
    useFakeCygwin("cygwin", mode);
    JavaCommandLine cmd = make({"/cygdrive/c/a.sof", "--o=/cygdrive/c/b"});
    prepareEnvironment(cmd);
    EXPECT_EQ(cmd.getArgs(), (std::vector<std::string>{"/cygdrive/c/a.sof", "--o=/cygdrive/c/b"})) << mode;
  }
}

TEST_F(PrepareEnvironmentTest, AddedJarIsConvertedUnderCygwin) {
  useFakeCygwin();
  JavaCommandLine cmd =
      make({"--wrapper-add-jar=/cygdrive/c/lib/a.jar", "--wrapper-add-jar=/cygdrive/c/lib/b.zip"});
  EXPECT_EQ(cmd.getClassPath(), "C:/lib/a.jar" + std::string(1, pathListSeparator()));
}
