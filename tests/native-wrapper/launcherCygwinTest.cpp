// The built launcher under a (fake) Cygwin shell: uname and cygpath on PATH decide whether
// and how the application's path arguments are converted.
#include "launcherTestSupport.h"

#include <gtest/gtest.h>

using namespace launcher_test;

namespace {

std::string javaSaw(const std::vector<std::string> &args) {
  std::string text = "java-args " + std::to_string(args.size() + 1) + "\n";
  text += "[com.vantrel.bitmorph.Bitmorph]\n";
  for (const std::string &a : args)
    text += "[" + a + "]\n";
  return text;
}

const std::vector<std::string> kCygwinArgs = {"/cygdrive/c/work/a.sof", "--out=/cygdrive/c/work/a.flash",
                                              "/mnt/c/x.sof", "/home/u/x.sof", "plain"};

} // namespace

class LauncherCygwin : public InstallationTreeTest {
protected:
  /// Runs the launcher with the fake tools first on PATH, in the given modes.
  RunResult launchUnder(const std::string &uname, const std::string &cygpath,
                        const std::vector<std::string> &args, EnvChanges extra = {}) {
    log = makeTempDir("log") + slash + "tools.log";
    std::string path = fakeToolsDir() + pathListSeparator() + emptyBin;
    if (onWindows()) path += ";C:\\windows\\system32;C:\\windows";
    EnvChanges env = {
        {"PATH", path}, {"FAKE_UNAME", uname}, {"FAKE_CYGPATH", cygpath}, {"FAKE_TOOL_LOG", log}};
    env.insert(env.end(), extra.begin(), extra.end());
    return runProgramInTree(args, env);
  }
  RunResult runProgramInTree(const std::vector<std::string> &args, const EnvChanges &env) {
    // launch() sets PATH first; the changes given here come later and win.
    return launch(args, env);
  }
  std::string log;
};

TEST_F(LauncherCygwin, PathArgumentsAreConverted) {
  RunResult r = launchUnder("cygwin", "convert", kCygwinArgs);
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_EQ(r.out, javaSaw({"C:/work/a.sof", "--out=C:/work/a.flash", "/mnt/c/x.sof",
                            "C:/cygwin64/home/u/x.sof", "plain"}));
  EXPECT_EQ(r.err, "");
  std::string calls = readText(log);
  EXPECT_NE(calls.find("cygpath --mixed /cygdrive/c/work/a.flash\n"), std::string::npos) << calls;
  EXPECT_EQ(calls.find("/mnt/c/x.sof"), std::string::npos) << calls;
}

TEST_F(LauncherCygwin, DisabledByZemDisableCygpathOne) {
  RunResult r = launchUnder("cygwin", "convert", kCygwinArgs, {{"ZEM_DISABLE_CYGPATH", "1"}});
  EXPECT_EQ(r.out, javaSaw(kCygwinArgs));
  EXPECT_EQ(readText(log).find("/cygdrive/c/work"), std::string::npos);
}

TEST_F(LauncherCygwin, OtherValuesOfZemDisableCygpathKeepConversionOn) {
  RunResult r = launchUnder("cygwin", "convert", {"/cygdrive/d/z"}, {{"ZEM_DISABLE_CYGPATH", "yes"}});
  EXPECT_EQ(r.out, javaSaw({"D:/z"}));
}

TEST_F(LauncherCygwin, NotCygwinWhenUnameSaysOtherwiseFailsOrIsSilent) {
  for (const char *mode : {"linux", "fail", "empty", "bigtail"}) {
    RunResult r = launchUnder(mode, "convert", kCygwinArgs);
    EXPECT_EQ(r.exitCode, 0u) << mode;
    EXPECT_EQ(r.out, javaSaw(kCygwinArgs)) << mode;
    EXPECT_EQ(r.err, "") << mode;
    EXPECT_EQ(readText(log).find("cygpath"), std::string::npos) << mode;
  }
}

TEST_F(LauncherCygwin, LongUnameAnswerWithMarkerFirstIsCygwin) {
  RunResult r = launchUnder("big", "convert", {"/cygdrive/c/a"});
  EXPECT_EQ(r.out, javaSaw({"C:/a"}));
}

TEST_F(LauncherCygwin, FailingSilentOrOverlongCygpathLeavesArguments) {
  for (const char *mode : {"fail", "empty", "big"}) {
    RunResult r = launchUnder("cygwin", mode, kCygwinArgs);
    EXPECT_EQ(r.exitCode, 0u) << mode;
    EXPECT_EQ(r.out, javaSaw(kCygwinArgs)) << mode;
    EXPECT_EQ(r.err, "") << mode;
  }
}

TEST_F(LauncherCygwin, CarriageReturnInTheAnswerIsKept) {
  // Every answer keeps its CR, so the runtime is named directly: on Linux the installation's
  // own paths begin with '/' and would go through cygpath too.
  RunResult r = launchUnder("cygwin", "crlf", {"/cygdrive/c/a"},
                            {{"NATIVE_WRAP_JRE_DIR_OVERRIDE", bin + slash + "jre64"}});
  EXPECT_EQ(r.out, javaSaw({"C:/a\r"}));
}

TEST_F(LauncherCygwin, AddedJarIsConverted) {
  RunResult r =
      launchUnder("cygwin", "convert",
                  {"--wrapper-verbose", "--wrapper-disable-exec", "--wrapper-add-jar=/cygdrive/c/lib/a.jar"});
  EXPECT_NE(r.out.find(" -cp \"C:/lib/a.jar" + std::string(1, pathListSeparator()) + "\" "),
            std::string::npos)
      << r.out;
}

TEST_F(LauncherCygwin, MissingUnameIsSilent) {
  // Nothing is made for a uname that is not there, so not even a temporary folder that is
  // missing (or full) is noticed.
  const std::string missing = tempDir + slash + "missing";
  RunResult r = launch(kCygwinArgs, {{"TMP", missing}, {"TEMP", missing}, {"TMPDIR", missing}});
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_EQ(r.out, javaSaw(kCygwinArgs));
  EXPECT_EQ(r.err, "");
}
