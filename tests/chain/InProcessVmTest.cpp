// Tests of the launcher's in-process start against the stand-in runtime, a VM library that
// records its creation arguments, and runtimes that are missing or broken: every message,
// stream and status of the start, the splash option and the class-path option; and both
// start modes of the stand-in runtime with a class path and arguments named as users name
// their files.
#include "inProcessVm.h"
#include "RuntimeTestSupport.h"
#include "dynamicLibrary.h"
#include "inProcessVmTexts.h"
#include "javaCommandLine.h"
#include "launcherPlatform.h"

#include "hostText/FilePath.h"
#include "platform/environment.h"

#include <gtest/gtest.h>
#include <jni.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

using vantrel::launcher::JavaCommandLine;
namespace fs = std::filesystem;

namespace {

const std::string JRE = CHAIN_JRE_DIR;
const std::string ECHO = CHAIN_ECHO_JAR;

// Folder and file names with a space, upper case, an apostrophe, a dot, characters inside
// code page 1252 (é, €) and outside it (Ж, 日本).
const std::string NAMES[] = {
    "Tools v2.1 O'Brien \xc3\xa9t\xc3\xa9 \xe2\x82\xac",
    "Werkzeug \xd0\x96 \xe6\x97\xa5\xe6\x9c\xac's.Dir \xc3\x89",
};

std::string vmLibraryOf(const std::string &jreDir) {
  return jreDir + vantrel::launcher::platform::kPathSeparator + vantrel::launcher::platform::kVmLibraryFile;
}

struct InProcessRun {
  int status = 0;
  std::string out;    ///< the command's out stream
  std::string err;    ///< the command's err stream
  std::string stdOut; ///< what the application wrote
  std::string stdErr; ///< what the runtime wrote (exception reports)
};

std::string readBack(FILE *f) {
  std::fflush(f);
  std::rewind(f);
  std::string text;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
    text.append(buffer, n);
  std::fclose(f);
  // The streams are text streams on Windows.
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
  return out;
}

std::string withoutCr(const std::string &text) {
  std::string out;
  for (char c : text)
    if (c != '\r') out += c;
  return out;
}

// A start that failed after creating the machine leaves it alive (the launcher's process
// would end next); the test process destroys it so the next case can create one.
void destroyLeftoverVm() {
  std::string reason;
  auto library = vantrel::launcher::platform::loadLibrary(vmLibraryOf(JRE), "", reason);
  using Created = jint(JNICALL *)(JavaVM **, jsize, jsize *);
  auto created = reinterpret_cast<Created>(
      vantrel::launcher::platform::findLibrarySymbol(library, "JNI_GetCreatedJavaVMs"));
  JavaVM *vm = nullptr;
  jsize count = 0;
  if (created && created(&vm, 1, &count) == JNI_OK && count == 1) vm->DestroyJavaVM();
  vantrel::launcher::platform::freeLibrary(library);
}

InProcessRun runInProcess(const std::string &mainClass, const std::vector<std::string> &args,
                          const std::string &jreDir, const std::vector<std::string> &jars,
                          const std::vector<std::string> &vmOptions = {}) {
  vantrel::platform::setEnvironmentVariable("NATIVE_WRAP_JRE_DIR_OVERRIDE", jreDir);
  std::vector<const char *> argv;
  for (const std::string &a : args)
    argv.push_back(a.c_str());
  JavaCommandLine cmd(mainClass, static_cast<int>(argv.size()), argv.data());
  for (const std::string &jar : jars)
    cmd.addJar(jar);
  for (const std::string &option : vmOptions)
    cmd.appendVmOption(option);
  FILE *out = std::tmpfile();
  FILE *err = std::tmpfile();
  cmd.setOut(out);
  cmd.setErr(err);
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  InProcessRun r;
  r.status = vantrel::launcher::runInProcessVm(cmd);
  std::fflush(nullptr);
  r.stdErr = withoutCr(testing::internal::GetCapturedStderr());
  r.stdOut = withoutCr(testing::internal::GetCapturedStdout());
  r.out = readBack(out);
  r.err = readBack(err);
  vantrel::platform::setEnvironmentVariable("NATIVE_WRAP_JRE_DIR_OVERRIDE", std::nullopt);
  destroyLeftoverVm();
  return r;
}

// A runtime folder with one file placed as the VM library (and optionally the splash library).
std::string fakeRuntime(const std::string &tag, const std::string &vmLibrary, bool withSplash) {
  const std::string dir = runtime_test::makeTempDir(tag);
  const std::string vm = vmLibraryOf(dir);
  fs::create_directories(vantrel::hostText::utf8Path(vm).parent_path());
  EXPECT_TRUE(runtime_test::copyFile(vmLibrary, vm));
  if (withSplash) {
    const std::string splash =
        dir + vantrel::launcher::platform::kPathSeparator + vantrel::launcher::platform::kSplashLibraryFile;
    fs::create_directories(vantrel::hostText::utf8Path(splash).parent_path());
    EXPECT_TRUE(runtime_test::copyFile(CHAIN_SPLASH_LIBRARY, splash));
  }
  return dir;
}

} // namespace

TEST(InProcessStart, MainGetsTheArgumentsAndStatusIsZero) {
  auto r = runInProcess("test.EchoMain", {"in.sof", "--wrapper-verbose", "two words", ""}, JRE, {ECHO});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.stdOut, "argc=3\n[0]=in.sof\n[1]=two words\n[2]=\n");
  EXPECT_EQ(r.stdErr, "");
  // The verbose echo is the command string, as in the child start.
  EXPECT_NE(r.out.find("\"test.EchoMain\" \"in.sof\" \"two words\" \"\" \n"), std::string::npos) << r.out;
  EXPECT_EQ(r.err, "");
}

TEST(InProcessStart, MainWithoutArguments) {
  auto r = runInProcess("test.NoArgsMain", {"ignored"}, JRE, {ECHO});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.stdOut, "main without arguments\n");
}

TEST(InProcessStart, DisableExecLoadsNothing) {
  auto r =
      runInProcess("test.EchoMain", {"--wrapper-disable-exec"}, runtime_test::makeTempDir("nojre"), {ECHO});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out + r.err + r.stdOut + r.stdErr, "");
}

TEST(InProcessStartFailures, NoVmLibrary) {
  const std::string dir = runtime_test::makeTempDir("nojre");
  auto r = runInProcess("test.EchoMain", {"a"}, dir, {ECHO});
  EXPECT_EQ(r.status, -1);
  // The system's reason follows on a line of its own.
  EXPECT_EQ(r.err.rfind("Cannot load library: '" + vmLibraryOf(dir) + "'\nReason: ", 0), 0u) << r.err;
  EXPECT_EQ(r.out + r.stdOut, "");
}

TEST(InProcessStartFailures, VmLibraryWithoutCreationEntry) {
  const std::string dir = fakeRuntime("nosymbol", CHAIN_SPLASH_LIBRARY, false);
  auto r = runInProcess("test.EchoMain", {"a"}, dir, {ECHO});
  EXPECT_EQ(r.status, -1);
  EXPECT_EQ(r.err, "Cannot load symbol/function: 'JNI_CreateJavaVM'\n");
}

TEST(InProcessStartFailures, CreationRefused) {
  auto r = runInProcess("test.EchoMain", {"--jvm-init-heap-size=12q"}, JRE, {ECHO});
  EXPECT_EQ(r.status, -1);
  EXPECT_EQ(r.out, "\nJavaCommandLine: Unable to Launch JVM with JNI\n");
  EXPECT_EQ(r.stdErr, "Invalid initial heap size: -Xms12q\n");
}

TEST(InProcessStartFailures, MainClassNotFound) {
  auto r = runInProcess("test.Nope", {"a"}, JRE, {ECHO});
  EXPECT_EQ(r.status, -1);
  EXPECT_EQ(r.out, "JavaCommandLine: JNI Class Not Found Error: test/Nope\n");
  EXPECT_EQ(r.stdErr, "java.lang.NoClassDefFoundError: test/Nope\n");
  r = runInProcess("test.EchoMain", {"a"}, JRE, {});
  EXPECT_EQ(r.out, "JavaCommandLine: JNI Class Not Found Error: test/EchoMain\n");
}

TEST(InProcessStartFailures, NoMainMethod) {
  auto r = runInProcess("test.NoMain", {"a"}, JRE, {ECHO});
  EXPECT_EQ(r.status, -1);
  EXPECT_EQ(r.out, "JavaCommandLine: JNI Incorrect Method ID: main\n");
  EXPECT_EQ(r.stdErr, "java.lang.NoSuchMethodError: main\n");
}

TEST(InProcessStartFailures, MainThrowsAndTheRunFails) {
  auto r = runInProcess("test.EchoMain", {"--throw"}, JRE, {ECHO});
  EXPECT_EQ(r.status, vantrel::launcher::kStatusUncaughtException);
  EXPECT_EQ(r.stdOut, "argc=1\n[0]=--throw\n");
  EXPECT_EQ(r.stdErr, "java.lang.RuntimeException: requested failure\n");
  // The machine was destroyed: a new one can be created in the same process.
  r = runInProcess("test.EchoMain", {"again"}, JRE, {ECHO});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.stdOut, "argc=1\n[0]=again\n");
}

TEST(InProcessStartOptions, CreationArgumentsInOrder) {
  const std::string dir = fakeRuntime("recording", CHAIN_RECORDING_JVM, false);
  const std::string record = dir + "/record.txt";
  vantrel::platform::setEnvironmentVariable("RECORDING_JVM_FILE", record);
  auto r = runInProcess("test.EchoMain", {"--jvm-init-heap-size=256m", "a"}, dir, {});
  EXPECT_EQ(r.status, -1);
  EXPECT_EQ(runtime_test::readText(record).value_or(""), "version=0x00010006 ignoreUnrecognized=0\n"
                                                         "option=-Xms256m extra=null\n"
                                                         "option=-Djava.class.path= extra=null\n");
  r = runInProcess("test.EchoMain", {"--jvm-max-heap-size=1g", "--jvm-init-heap-size=2m"}, dir,
                   {"b.jar", "a.jar"});
  const char sep = vantrel::launcher::platform::kClassPathSeparator;
  EXPECT_EQ(runtime_test::readText(record).value_or(""),
            std::string("version=0x00010006 ignoreUnrecognized=0\n"
                        "option=-Xms2m extra=null\n"
                        "option=-Xmx1g extra=null\n"
                        "option=-Djava.class.path=a.jar") +
                sep + "b.jar" + sep + " extra=null\n");
  vantrel::platform::setEnvironmentVariable("RECORDING_JVM_FILE", std::nullopt);
}

TEST(InProcessStartOptions, SplashOptionShowsItsImageAndIsNotPassedOn) {
  const std::string dir = fakeRuntime("splash", CHAIN_RECORDING_JVM, true);
  const std::string record = dir + "/record.txt";
  const std::string trace = dir + "/trace.txt";
  // The image's name holds characters outside every ANSI code page; no blank, as the
  // option ends at one.
  const std::string image = dir + "/Logo\xc3\x89t\xc3\xa9\xd0\x96\xe6\x97\xa5.png";
  std::ofstream(vantrel::hostText::utf8Path(image)) << "png";
  vantrel::platform::setEnvironmentVariable("RECORDING_JVM_FILE", record);
  vantrel::platform::setEnvironmentVariable("BITMORPH_SPLASH_TRACE", trace);
  auto r = runInProcess("test.EchoMain", {}, dir, {}, {"-splash:" + image, "-splash", "-Dx=1"});
  vantrel::platform::setEnvironmentVariable("BITMORPH_SPLASH_TRACE", std::nullopt);
  vantrel::platform::setEnvironmentVariable("RECORDING_JVM_FILE", std::nullopt);
  const std::string splashLibrary =
      dir + vantrel::launcher::platform::kPathSeparator + vantrel::launcher::platform::kSplashLibraryFile;
  EXPECT_EQ(runtime_test::readText(trace).value_or(""), "SplashInit\n"
                                                        "SplashLoadFile '" +
                                                            image +
                                                            "' loaded\n"
                                                            "SplashSetFileJarName '" +
                                                            splashLibrary + "' null\n");
  EXPECT_EQ(runtime_test::readText(record).value_or(""), "version=0x00010006 ignoreUnrecognized=0\n"
                                                         "option=-Dx=1 extra=null\n"
                                                         "option=-Djava.class.path= extra=null\n");
}

TEST(InProcessStartOptions, MissingSplashLibraryIsReportedAndTheStartGoesOn) {
  const std::string dir = fakeRuntime("nosplash", CHAIN_RECORDING_JVM, false);
  auto r = runInProcess("test.EchoMain", {}, dir, {}, {"-splash:logo.png"});
  EXPECT_EQ(r.out,
            "Could not load splash screen: logo.png\n\nJavaCommandLine: Unable to Launch JVM with JNI\n");
}

TEST(StartWithUsersNames, ClassPathAndArgumentsReachTheNativeMainInBothModes) {
  for (const std::string &name : NAMES) {
    SCOPED_TRACE(name);
    // The archive and the library it loads lie in a folder with the name.
    const std::string dir = runtime_test::makeTempDir("names", name);
    const std::string jar = dir + "/" + name + ".jar";
    ASSERT_TRUE(runtime_test::copyFile(ECHO, jar));
    ASSERT_TRUE(runtime_test::copyFile(
        CHAIN_ECHO_LIBRARY,
        dir + "/" + vantrel::hostText::pathUtf8(fs::path(CHAIN_ECHO_LIBRARY).filename())));
    const std::vector<std::string> args = {"\xd0\x96 \xe6\x97\xa5\xe6\x9c\xac.sof",
                                           "--output=" + dir + "/\xc3\x89\xe2\x82\xac's.v2.flash", name};
    const std::string echoed = "argc=3\n[0]=" + args[0] + "\n[1]=" + args[1] + "\n[2]=" + args[2] + "\n";

    auto r = runInProcess("test.EchoMain", args, JRE, {jar});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.stdOut, echoed);
    EXPECT_EQ(r.stdErr, "");

    // The child start: the launcher's own process start runs the stand-in java program,
    // whose output comes back through the capture file.
    std::vector<const char *> argv;
    for (const std::string &a : args)
      argv.push_back(a.c_str());
    JavaCommandLine child("test.EchoMain", static_cast<int>(argv.size()), argv.data());
    child.setVmProgram(JRE + vantrel::launcher::platform::kPathSeparator +
                       vantrel::launcher::platform::kJavaProgram);
    child.addJar(jar);
    child.setCaptureOutput(true);
    EXPECT_EQ(child.run(), 0);
    EXPECT_EQ(withoutCr(child.getCapturedOutput()) + "\n", echoed);
  }
}
