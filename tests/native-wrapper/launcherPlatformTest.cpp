// Tests of the launcher's OS layer where it decides something itself: which program a name
// starts (never one from the current folder), a start from a very long current folder, and
// how text reaches a stream.
#include "launcherPlatform.h"
#include "commandLine.h"
#include "launcherTestSupport.h"
#include "testConsole.h"

#include "hostText/FilePath.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace launcher_test;
namespace platform = vantrel::launcher::platform;
namespace fs = std::filesystem;

namespace {

/// Runs body with the test process's current folder set to dir.
template <class Body> void inFolder(const std::string &dir, Body body) {
  const fs::path previous = fs::current_path();
  fs::current_path(vantrel::hostText::utf8Path(dir));
  body();
  fs::current_path(previous);
}

} // namespace

class FindProgram : public LauncherEnvironmentTest {
protected:
  std::string tool(const std::string &name) { return fakeToolsDir() + slash() + name + exeSuffix(); }
  static std::string slash() { return onWindows() ? "\\" : "/"; }
  void plant(const std::string &dir, const std::string &name) {
    copyFile(fakeToolsDir() + slash() + "uname" + exeSuffix(), dir + slash() + name);
  }
};

TEST_F(FindProgram, NamesWithAFolderAreUsedAsNamed) {
  EXPECT_EQ(platform::findProgram("/no/such/program"), std::optional<std::string>("/no/such/program"));
  const std::string relative = std::string("bin") + slash() + "java" + exeSuffix();
  EXPECT_EQ(platform::findProgram(relative), std::optional<std::string>(relative));
  EXPECT_EQ(platform::findProgram(""), std::nullopt);
}

TEST_F(FindProgram, SearchesPathInOrder) {
  const std::string other = makeTempDir("other", "Other \xc3\x89t\xc3\xa9 \xd0\x96");
  plant(other, "uname" + exeSuffix());
  setEnv("PATH", other + pathListSeparator() + fakeToolsDir());
  EXPECT_EQ(platform::findProgram("uname"),
            std::optional<std::string>(other + slash() + "uname" + exeSuffix()));
  setEnv("PATH", fakeToolsDir() + pathListSeparator() + other);
  EXPECT_EQ(platform::findProgram("uname"), std::optional<std::string>(tool("uname")));
  setEnv("PATH", std::nullopt);
  EXPECT_EQ(platform::findProgram("uname"), std::nullopt);
}

TEST_F(FindProgram, NeverTheCurrentFolder) {
  // "." and an empty entry both name the current folder, and a Windows process search
  // looks there first: the planted programs must stay unseen.
  const std::string work = makeTempDir("work", "Work O'Neil.v2 \xe2\x82\xac \xe6\x97\xa5\xe6\x9c\xac");
  plant(work, "uname" + exeSuffix());
  plant(work, "cygpath" + exeSuffix());
  const std::string sep(1, pathListSeparator());
  setEnv("PATH", "." + sep + sep + "subdir");
  inFolder(work, [] {
    EXPECT_EQ(platform::findProgram("uname"), std::nullopt);
    EXPECT_EQ(platform::findProgram("cygpath"), std::nullopt);
  });
}

TEST_F(FindProgram, AFileThatCannotRunDoesNotShadowTheProgram) {
  // On Windows an extensionless file of the name; on Linux one without the execute bit.
  const std::string first = makeTempDir("first");
  touch(first + slash() + "uname");
  setEnv("PATH", first + pathListSeparator() + fakeToolsDir());
  EXPECT_EQ(platform::findProgram("uname"), std::optional<std::string>(tool("uname")));
}

class ChildStart : public FindProgram {};

TEST_F(ChildStart, ACurrentFolderOverMaxPathStillStartsTheChild) {
  // Windows starts no process in a current folder that long; the launcher names it otherwise.
  std::string deep = makeTempDir("deepwork");
  while (deep.size() < 300)
    deep += slash() + "folder-abcdefghijklmnopqrstuvwxyz";
  fs::create_directories(vantrel::hostText::utf8Path(deep));
  useFreshTempDir();
  inFolder(deep, [] {
    vantrel::launcher::CommandLine java(fakeJavaPath());
    java.setCaptureOutput(true);
    EXPECT_EQ(java.run(), 0);
    EXPECT_EQ(java.getCapturedOutput(), "java-args 0");
  });
}

TEST(WriteText, RedirectedTextKeepsItsUtf8Bytes) {
  CapturedStream stream;
  const std::string text = "ASCII stays, \xc3\x89t\xc3\xa9 \xe2\x82\xac \xd0\x96 \xe6\x97\xa5\xe6\x9c\xac\n";
  platform::writeText(stream.stream(), text);
  EXPECT_EQ(stream.text(), text);
}

TEST(WriteText, AConsoleShowsTheCharacters) {
  // Characters inside and outside the console's code page.
  const std::string text = "\xc3\x89t\xc3\xa9 \xe2\x82\xac \xd0\x96 \xe6\x97\xa5\xe6\x9c\xac";
  const auto shown = console_test::consoleShows([&](FILE *stream) { platform::writeText(stream, text); }, 10);
  if (!shown) GTEST_SKIP() << "no console to read back: start the test from a terminal under Wine";
  EXPECT_EQ(*shown, text);
}
