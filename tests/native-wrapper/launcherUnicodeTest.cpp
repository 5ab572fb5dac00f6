// The built launcher with names as Windows users have them: the installation folder, the
// working folder and the arguments' file names hold a space, upper case, an apostrophe, a
// dot, characters inside code page 1252 (é, €) and outside it (Ж, 日本). Both start modes
// find the runtime and the jars and hand the arguments on byte for byte (UTF-8), messages
// name the files as they are, and programs planted in the working folder never run. A
// runtime that reads its text in the ANSI code page finds its files too.
#include "launcherPlatform.h"
#include "launcherTestSupport.h"

#include "hostText/FilePath.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace launcher_test;

namespace {

const std::string kNames[] = {
    "Tools v2.1 O'Brien \xc3\xa9t\xc3\xa9 \xe2\x82\xac",         // é and € are in code page 1252
    "Werkzeug \xd0\x96 \xe6\x97\xa5\xe6\x9c\xac's.Dir \xc3\x89", // Ж and 日本 are not
};

/// The text between the first from and the next to after it ("" when either is missing).
std::string between(const std::string &text, const std::string &from, const std::string &to) {
  const std::size_t start = text.find(from);
  if (start == std::string::npos) return "";
  const std::size_t end = text.find(to, start + from.size());
  return end == std::string::npos ? "" : text.substr(start + from.size(), end - start - from.size());
}

/// A path handed to the runtime names the file the user named: on Linux as the same text,
/// on Windows perhaps by its short form (a name outside the ANSI code page or ASCII).
void expectSameFile(const std::string &handed, const std::string &named) {
  if (!onWindows()) {
    EXPECT_EQ(handed, named);
  }
  std::error_code error;
  EXPECT_TRUE(std::filesystem::equivalent(vantrel::hostText::utf8Path(handed),
                                          vantrel::hostText::utf8Path(named), error))
      << handed << " is not " << named;
}

/// What a fake runtime prints: its label, then each word it was given in brackets.
std::string saw(const std::string &label, const std::vector<std::string> &words) {
  std::string text = label + " " + std::to_string(words.size()) + "\n";
  for (const std::string &w : words)
    text += "[" + w + "]\n";
  return text;
}

} // namespace

class LauncherUnicode : public InstallationTreeTest {};

TEST_F(LauncherUnicode, BothStartModesWorkFromFoldersWithAnyName) {
  for (const std::string &name : kNames) {
    SCOPED_TRACE(name);
    makeTree(name);
    touch(inBin(name + ".jar"));
    const std::string work = makeTempDir("work", name + " Work");
    // Programs left in the working folder; started, they would log their call and switch
    // the launcher into its Cygwin mode, which converts the "=/..." argument on Linux.
    const std::string log = makeTempDir("log") + slash + "planted.log";
    for (const char *tool : {"uname", "cygpath"})
      copyFile(fakeToolsDir() + slash + tool + exeSuffix(), work + slash + tool + exeSuffix());
    // "." and an empty entry name the current folder; the search must skip both.
    const std::string sep(1, pathListSeparator());
    std::string path = "." + sep + sep + emptyBin;
    if (onWindows()) path += ";C:\\windows\\system32;C:\\windows";
    const EnvChanges env = {{"PATH", path}, {"FAKE_TOOL_LOG", log}, {"FAKE_UNAME", "cygwin"}};

    const std::vector<std::string> args = {"--input=" + work + slash +
                                               "\xd0\x96 \xe6\x97\xa5\xe6\x9c\xac.sof",
                                           name + ".flash", "\xc3\x89\xe2\x82\xac's.v2"};
    std::vector<std::string> withVerbose = args;
    withVerbose.insert(withVerbose.begin(), "--wrapper-verbose");
    // The command string, with the runtime program and the jar as the runtime is given them.
    const auto command = [&](const std::string &java, const std::string &jar) {
      std::string text = "\"" + java + "\" -cp \"" + jar + sep + "\" \"com.vantrel.bitmorph.Bitmorph\" ";
      for (const std::string &a : args)
        text += "\"" + a + "\" ";
      return text;
    };
    const std::string jar = expectedBin() + slash + name + ".jar";

    RunResult child = launch(withVerbose, env, work);
    EXPECT_EQ(child.exitCode, 0u);
    const std::string childJava = between(child.out, "\"", "\"");
    const std::string childJar = between(child.out, "[-cp]\n[", sep + "]\n");
    expectSameFile(childJava, expectedJava());
    expectSameFile(childJar, jar);
    std::vector<std::string> javaWords = {"-cp", childJar + sep, "com.vantrel.bitmorph.Bitmorph"};
    javaWords.insert(javaWords.end(), args.begin(), args.end());
    EXPECT_EQ(child.out, command(childJava, childJar) + "\n" + saw("java-args", javaWords));
    EXPECT_EQ(child.err, "");

    std::vector<std::string> inProcessArgs = args;
    inProcessArgs.insert(inProcessArgs.begin(), "--wrapper-load-jvm-in-process");
    RunResult inProcess = launch(inProcessArgs, env, work);
    EXPECT_EQ(inProcess.exitCode, 0u);
    const std::string vmJar = between(inProcess.out, "[-Djava.class.path=", sep + "]\n");
    expectSameFile(vmJar, jar);
    std::vector<std::string> jvmWords = {"-Djava.class.path=" + vmJar + sep, "com/vantrel/bitmorph/Bitmorph",
                                         "java/lang/String"};
    jvmWords.insert(jvmWords.end(), args.begin(), args.end());
    EXPECT_EQ(inProcess.out, saw("jvm-args", jvmWords));
    EXPECT_EQ(inProcess.err, "");

    EXPECT_EQ(readText(log), "") << "a program in the working folder was run";

    // Without the runtime program the message names it as it is.
    std::filesystem::remove(vantrel::hostText::utf8Path(bin + slash + "jre64" + slash +
                                                        vantrel::launcher::platform::kJavaProgram));
    RunResult missing = launch(args, env, work);
    EXPECT_EQ(missing.exitCode, failureStatus());
    const std::string launchLine = "Error - failed to launch '" + command(expectedJava(), childJar) + "'.\n";
    EXPECT_EQ(missing.err.rfind(launchLine + "Reason: ", 0), 0u) << missing.err;
  }
}

TEST_F(LauncherUnicode, ARuntimeReadingTheAnsiCodePageFindsItsFilesInBothStartModes) {
  if (!onWindows()) GTEST_SKIP() << "a runtime on Linux reads the bytes as they are";
  // 'é' is in the ANSI code page (1252 under Wine) but not ASCII; 'Ж' is in neither.
  for (const std::string name : {"Tools \xc3\xa9t\xc3\xa9", "Werkzeug \xd0\x96"}) {
    SCOPED_TRACE(name);
    makeTree(name, hostPath(ANSI_JAVA_PATH), hostPath(ANSI_JVM_PATH));
    touch(inBin(name + ".jar"));
    RunResult child = launch({"a"});
    EXPECT_EQ(child.exitCode, 0u);
    EXPECT_EQ(child.out, "ansi-java\n[program: opens]\n[class path: opens]\n");
    RunResult inProcess = launch({"--wrapper-load-jvm-in-process", "a"});
    EXPECT_EQ(inProcess.exitCode, 0u);
    EXPECT_EQ(inProcess.out, saw("jvm-args", {"class path: opens", "library: opens",
                                              "com/vantrel/bitmorph/Bitmorph", "java/lang/String", "a"}));
  }
}
