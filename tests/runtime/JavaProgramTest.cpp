// Tests of the java program as a child process: the command line it accepts, the main class
// search, every report it prints and its exit status; and, where a JDK is installed, that
// the real runtime hands the test class the same arguments.
#include "RuntimeMessages.h"
#include "RuntimeTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>

using runtime_test::run;
namespace msg = vantrel::runtime::messages;

namespace {

const std::string JAVA = TEST_JAVA_PROGRAM;
const std::string ECHO_JAR = std::string(TEST_JAR_DIR) + "/echo.jar";
const std::string COULD_NOT_CREATE = msg::COULD_NOT_CREATE_VM;

runtime_test::RunResult java(std::vector<std::string> args, const runtime_test::EnvChanges &env = {}) {
  args.insert(args.begin(), JAVA);
  return run(args, env);
}

} // namespace

TEST(JavaProgramStart, PassesTheArgumentsInOrder) {
  auto r = java({"-Xms16m", "-Xmx64m", "-Dsome.property=1", "-cp", ECHO_JAR, "test.EchoMain", "in.sof",
                 "two words", "", "--help"});
  ASSERT_TRUE(r.started) << r.error;
  EXPECT_EQ(r.out, "argc=4\n[0]=in.sof\n[1]=two words\n[2]=\n[3]=--help\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.exitCode, 0);
}

TEST(JavaProgramStart, ClassPathFormsAndSearchOrder) {
  const std::string cp = std::string("no-such-folder") + runtime_test::listSeparator() + ECHO_JAR +
                         runtime_test::listSeparator();
  for (const char *option : {"-cp", "-classpath", "--class-path"}) {
    auto r = java({option, cp, "test.EchoMain", "x"});
    EXPECT_EQ(r.out, "argc=1\n[0]=x\n") << option;
    EXPECT_EQ(r.exitCode, 0) << option;
  }
  auto r = java({"--class-path=" + ECHO_JAR, "test.EchoMain"});
  EXPECT_EQ(r.out, "argc=0\n");
  r = java({"test.EchoMain", "y"}, {{"CLASSPATH", ECHO_JAR}});
  EXPECT_EQ(r.out, "argc=1\n[0]=y\n");
}

TEST(JavaProgramStart, NativeMainEndsTheProcessWithItsCode) {
  auto r = java({"-cp", ECHO_JAR, "test.EchoMain", "--exit=3"});
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_EQ(r.out, "argc=1\n[0]=--exit=3\n");
}

TEST(JavaProgramErrors, MainClassNotFound) {
  auto r = java({"-cp", ECHO_JAR, "test.Nope", "a"});
  EXPECT_EQ(r.err, "Error: Could not find or load main class test.Nope\n"
                   "Caused by: java.lang.ClassNotFoundException: test.Nope\n");
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.exitCode, 1);
  // A name outside every ANSI code page reaches redirected output as its UTF-8 bytes.
  const std::string name = "test.\xd0\x96\xe6\x97\xa5\xe6\x9c\xac";
  r = java({"-cp", ECHO_JAR, name});
  EXPECT_EQ(r.err, "Error: Could not find or load main class " + name +
                       "\nCaused by: java.lang.ClassNotFoundException: " + name + "\n");
}

TEST(JavaProgramErrors, DamagedArchiveIsNamedWhenTheClassIsMissing) {
  const std::string bad = runtime_test::makeTempDir("badjar") + "/bad.jar";
  std::ofstream(bad) << "not a zip archive";
  auto r = java({"-cp", bad, "test.EchoMain"});
  EXPECT_EQ(r.err, "Error: error reading " + bad +
                       ": zip END header not found\n"
                       "Error: Could not find or load main class test.EchoMain\n"
                       "Caused by: java.lang.ClassNotFoundException: test.EchoMain\n");
  EXPECT_EQ(r.exitCode, 1);
  r = java({"-cp", bad + runtime_test::listSeparator() + ECHO_JAR, "test.EchoMain"});
  EXPECT_EQ(r.exitCode, 0);
}

TEST(JavaProgramErrors, NoMainAndInstanceMain) {
  auto r = java({"-cp", ECHO_JAR, "test.NoMain"});
  EXPECT_EQ(r.err, "Error: Main method not found in class test.NoMain, please define the main method as:\n"
                   "   public static void main(String[] args)\n");
  EXPECT_EQ(r.exitCode, 1);
  r = java({"-cp", ECHO_JAR, "test.InstanceMain"});
  EXPECT_EQ(r.err,
            "Error: Main method is not static in class test.InstanceMain, please define the main method as:\n"
            "   public static void main(String[] args)\n");
  EXPECT_EQ(r.exitCode, 1);
}

TEST(JavaProgramErrors, ExceptionsEscapingMain) {
  auto r = java({"-cp", ECHO_JAR, "test.EchoMain", "--throw"});
  EXPECT_EQ(r.out, "argc=1\n[0]=--throw\n");
  EXPECT_EQ(r.err, "Exception in thread \"main\" java.lang.RuntimeException: requested failure\n");
  EXPECT_EQ(r.exitCode, 1);
  r = java({"-cp", ECHO_JAR, "test.Unlinked"});
  EXPECT_EQ(r.err, "Exception in thread \"main\" java.lang.UnsatisfiedLinkError: "
                   "'void test.Unlinked.main(java.lang.String[])'\n");
  EXPECT_EQ(r.exitCode, 1);
  r = java({"-cp", ECHO_JAR, "test.BytecodeMain"});
  EXPECT_EQ(r.err, "Exception in thread \"main\" java.lang.InternalError: bytecode is not executed by this "
                   "runtime: void test.BytecodeMain.main(java.lang.String[])\n");
  EXPECT_EQ(r.exitCode, 1);
}

TEST(JavaProgramErrors, LibraryTheArchiveNamesIsMissing) {
  auto r = java({"-cp", std::string(TEST_MISSING_JAR_DIR) + "/missinglib.jar", "test.EchoMain"});
  const std::string prefix =
      "Exception in thread \"main\" java.lang.UnsatisfiedLinkError: Can't load library: ";
  EXPECT_EQ(r.err.rfind(prefix, 0), 0u) << r.err;
  EXPECT_NE(r.err.find("nosuchlibrary"), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.exitCode, 1);
}

TEST(JavaProgramErrors, UnimplementedSlotAndFatalErrorStopTheProcess) {
  auto r = java({"-cp", ECHO_JAR, "test.EchoMain", "--unimplemented"});
  EXPECT_NE(
      r.err.find(
          "FATAL ERROR in native method: JNI function MonitorEnter is not implemented by this runtime\n"),
      std::string::npos)
      << r.err;
  EXPECT_NE(r.exitCode, 0);
  r = java({"-cp", ECHO_JAR, "test.EchoMain", "--fatal"});
  EXPECT_NE(r.err.find("FATAL ERROR in native method: requested by the test\n"), std::string::npos) << r.err;
  EXPECT_NE(r.exitCode, 0);
}

TEST(JavaProgramErrors, BadOptions) {
  auto r = java({"-Xfoo", "-cp", ECHO_JAR, "test.EchoMain"});
  EXPECT_EQ(r.err, "Unrecognized option: -Xfoo\n" + COULD_NOT_CREATE);
  EXPECT_EQ(r.exitCode, 1);
  r = java({"-Xms12q", "-cp", ECHO_JAR, "test.EchoMain"});
  EXPECT_EQ(r.err, "Invalid initial heap size: -Xms12q\n" + COULD_NOT_CREATE);
  EXPECT_EQ(r.exitCode, 1);
  r = java({"-Xms1g", "-Xmx1m", "-cp", ECHO_JAR, "test.EchoMain"});
  EXPECT_EQ(r.err, "Initial heap size set to a larger value than the maximum heap size\n" + COULD_NOT_CREATE);
  EXPECT_EQ(r.exitCode, 1);
  r = java({"-cp"});
  EXPECT_EQ(r.err, "Error: -cp requires a class path argument\n");
  EXPECT_EQ(r.exitCode, 1);
  r = java({"-cp", ECHO_JAR});
  EXPECT_EQ(r.err, msg::USAGE);
  EXPECT_EQ(r.exitCode, 1);
  r = java({"-help"});
  EXPECT_EQ(r.out, msg::USAGE);
  EXPECT_EQ(r.exitCode, 0);
}

// The same test class on the installed JDK: identical output for plain and UTF-8 arguments
// (the native side turns the JDK's modified UTF-8 into standard UTF-8).
TEST(JavaProgramJdk, SameArgumentsAsTheRealRuntime) {
  const std::string jdk = TEST_JDK_JAVA;
  if (jdk.empty()) GTEST_SKIP() << "no JDK tests in this build";
  const std::vector<std::string> args = {"in.sof",
                                         "--output=gr\xc3\xb6\xc3\x9f"
                                         "e.flash",
                                         "\xf0\x9f\x98\x80.sof", "a b", ""};
  std::vector<std::string> command = {"-cp", ECHO_JAR, "test.EchoMain"};
  command.insert(command.end(), args.begin(), args.end());
  const runtime_test::EnvChanges utf8 = {{"LC_ALL", "C.UTF-8"}};
  auto stand = java(command, utf8);
  command.insert(command.begin(), jdk);
  auto real = run(command, utf8);
  EXPECT_EQ(stand.out, real.out);
  EXPECT_EQ(stand.exitCode, real.exitCode);
  EXPECT_EQ(real.err, "");
  EXPECT_EQ(real.out.substr(0, 7), "argc=5\n");
}

TEST(JavaProgramJdk, SameFailuresAsTheRealRuntime) {
  const std::string jdk = TEST_JDK_JAVA;
  if (jdk.empty()) GTEST_SKIP() << "no JDK tests in this build";
  for (const std::vector<std::string> &args : {std::vector<std::string>{"test.Nope"},
                                               {"test.NoMain"},
                                               {"test.EchoMain", "--throw"},
                                               {"test.EchoMain", "--exit=7"},
                                               {"test.EchoMain", "--system-exit=9"}}) {
    std::vector<std::string> command = {"-cp", ECHO_JAR};
    command.insert(command.end(), args.begin(), args.end());
    auto stand = java(command);
    command.insert(command.begin(), jdk);
    auto real = run(command);
    EXPECT_EQ(stand.exitCode, real.exitCode) << args[0];
    EXPECT_EQ(stand.out, real.out) << args[0];
    // The real runtime adds stack frames; the first line is the same.
    EXPECT_EQ(stand.err.substr(0, stand.err.find('\n')), real.err.substr(0, real.err.find('\n'))) << args[0];
  }
}
