// Tests of the supervised child start on POSIX where the launcher's own process shows it: the
// signal handling is changed only while the runtime runs, and a stop the launcher was started
// ignoring (as under nohup) stays ignored by the runtime too.
#include "launcherPlatform.h"
#include "launcherTestSupport.h"

#include <gtest/gtest.h>

#include <signal.h>

using namespace launcher_test;
namespace platform = vantrel::launcher::platform;

class SupervisedStart : public LauncherEnvironmentTest {};

TEST_F(SupervisedStart, LeavesTheSignalHandlingAsItFoundIt) {
  struct sigaction ignore = {}, savedHup = {}, before[2] = {}, after = {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGHUP, &ignore, &savedHup);
  sigaction(SIGTERM, nullptr, &before[0]);
  sigaction(SIGINT, nullptr, &before[1]);
  // The runtime raises SIGHUP: ignored, it lives on and ends with 0 instead of 128 + 1.
  setEnv("FAKE_JAVA_SIGNAL", std::to_string(SIGHUP));
  const std::string output = makeTempDir("out") + "/java.txt";
  const platform::FileHandle file = platform::createInheritableFile(output);
  platform::ChildProcess child;
  int code = -1;
  ASSERT_TRUE(platform::startProcess("\"" + fakeJavaPath() + "\"", file, true, child));
  ASSERT_TRUE(platform::waitForExit(child, code));
  platform::closeFile(file);
  EXPECT_EQ(code, 0);

  sigaction(SIGHUP, nullptr, &after);
  EXPECT_EQ(after.sa_handler, SIG_IGN);
  sigaction(SIGTERM, nullptr, &after);
  EXPECT_EQ(after.sa_handler, before[0].sa_handler);
  sigaction(SIGINT, nullptr, &after);
  EXPECT_EQ(after.sa_handler, before[1].sa_handler);
  sigset_t blocked;
  pthread_sigmask(SIG_BLOCK, nullptr, &blocked);
  for (int signal : {SIGTERM, SIGINT, SIGHUP})
    EXPECT_EQ(sigismember(&blocked, signal), 0) << "signal " << signal << " left blocked";
  sigaction(SIGHUP, &savedHup, nullptr);
}
