// The built launcher stopped while the runtime runs: a stop request to the launcher alone
// reaches the runtime, whose status the launcher returns, and a launcher ended at once takes
// the runtime and its converter with it. The fake runtime stands in for the application and
// its converter; processes are checked by id.
#include "launcherTestSupport.h"
#include "runningProgram.h"

#include "hostText/FilePath.h"
#include "support/Waiting.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

using namespace launcher_test;

namespace {

/// The upper bound of a wait for a process's end, in the form RunningProgram takes.
constexpr int kEventLimit = static_cast<int>(vantrel::testing::EVENT_LIMIT_MILLIS);

/// Waits for the process to end; true when it did.
bool ends(unsigned long pid) {
  return vantrel::testing::waitUntil([&] { return !processRuns(pid); });
}

/// The first number in the file, once a line is complete (a Windows start under Wine takes a
/// while); 0 when none came.
unsigned long waitForNumbers(const std::string &file, unsigned long *second = nullptr) {
  std::string line;
  const bool complete = vantrel::testing::waitUntil([&] {
    std::ifstream in(vantrel::hostText::utf8Path(file));
    return std::getline(in, line) && !in.eof();
  });
  if (!complete) return 0;
  std::istringstream numbers(line);
  unsigned long first = 0;
  numbers >> first;
  if (second) numbers >> *second;
  return first;
}

/// The status the fake runtime ends with after catching a stop: 100 + the signal number, or
/// 100 + the console event.
std::uint32_t caught(int stop) {
  return 100u + static_cast<std::uint32_t>(stop);
}

// The POSIX numbers (the same on every POSIX system; Windows headers lack SIGHUP).
constexpr int kSigHup = 1, kSigInt = 2, kSigTerm = 15;
// The Windows console events.
constexpr int kCtrlC = 0, kCtrlBreak = 1, kCtrlClose = 2;

} // namespace

class LauncherStop : public InstallationTreeTest {
protected:
  void SetUp() override {
    InstallationTreeTest::SetUp();
    // The paths a user's installation may have.
    makeTree("Stop O'Neil.v2 \xc3\xa9\xe2\x82\xac \xd0\x96\xe6\x97\xa5\xe6\x9c\xac");
    pidDir = makeTempDir("pids");
  }

  void TearDown() override {
    // A failed check must not leave the test doubles running.
    for (unsigned long pid : started)
      if (processRuns(pid)) vantrel::testing::killProcess(pid);
    InstallationTreeTest::TearDown();
  }

  enum class Parent { Test, Job };

  /// The launcher with the fake runtime waiting for a stop ("catch" or "die"), with a fake
  /// converter when converter is set, started by the test or by a parent inside a job;
  /// returns once the runtime has reported its process ids. Sets launcherPid.
  std::unique_ptr<RunningProgram> start(const std::string &mode, bool converter, Parent parent = Parent::Test,
                                        bool ownGroup = false) {
    const std::string javaPids = pidDir + slash + "java" + std::to_string(started.size()) + ".txt";
    const std::string parentPids = pidDir + slash + "parent" + std::to_string(started.size()) + ".txt";
    const std::optional<std::string> withConverter =
        converter ? std::optional<std::string>("1") : std::nullopt;
    for (const auto &[name, value] : launchEnvironment({{"FAKE_JAVA_STOP", mode},
                                                        {"FAKE_JAVA_PID_FILE", javaPids},
                                                        {"FAKE_JAVA_CONVERTER", withConverter},
                                                        {"JOB_PARENT_PID_FILE", parentPids}}))
      setEnv(name, value);
    const std::string launcher = inBin("bitmorph" + exeSuffix());
    auto program =
        parent == Parent::Test
            ? std::make_unique<RunningProgram>(launcher, std::vector<std::string>{"in.sof"}, ownGroup)
            : std::make_unique<RunningProgram>(hostPath(JOB_PARENT_PATH),
                                               std::vector<std::string>{launcher, "in.sof"});
    EXPECT_TRUE(program->started());
    launcherPid = parent == Parent::Test ? program->pid() : waitForNumbers(parentPids);
    converterPid = 0;
    javaPid = waitForNumbers(javaPids, &converterPid);
    for (unsigned long pid : {javaPid, converterPid})
      if (pid != 0) started.push_back(pid);
    EXPECT_NE(javaPid, 0u) << "the runtime did not start";
    EXPECT_EQ(converterPid != 0, converter) << "the fake converter did not start";
    return program;
  }

  /// The runtime, and the converter when there is one, end.
  void expectNoneLeft() {
    EXPECT_TRUE(ends(javaPid)) << "the runtime outlived the launcher";
    if (converterPid != 0) {
      EXPECT_TRUE(ends(converterPid)) << "the converter outlived the launcher";
    }
  }

  std::string pidDir;
  unsigned long launcherPid = 0;
  unsigned long javaPid = 0;
  unsigned long converterPid = 0;
  std::vector<unsigned long> started; ///< every runtime and converter of the test
};

TEST_F(LauncherStop, ASignalToTheLauncherReachesTheRuntimeAndItsStatusIsReturned) {
  if (onWindows()) GTEST_SKIP() << "no POSIX signals";
  for (int signal : {kSigTerm, kSigInt, kSigHup}) {
    SCOPED_TRACE("signal " + std::to_string(signal));
    // A runtime that catches the stop ends its converter and exits with a code of its own.
    auto launcher = start("catch", true);
    ASSERT_TRUE(launcher->signal(signal));
    EXPECT_EQ(launcher->waitFor(kEventLimit), std::optional<std::uint32_t>(caught(signal)));
    EXPECT_EQ(launcher->endSignal(), 0);
    expectNoneLeft();
    // A runtime that dies by the stop: the launcher dies by the same signal, so that a shell
    // sees the death and not a status of 128 + S.
    launcher = start("die", false);
    ASSERT_TRUE(launcher->signal(signal));
    EXPECT_EQ(launcher->waitFor(kEventLimit),
              std::optional<std::uint32_t>(128u + static_cast<std::uint32_t>(signal)));
    EXPECT_EQ(launcher->endSignal(), signal);
    expectNoneLeft();
  }
}

TEST_F(LauncherStop, AnInterruptOfTheWholeGroupIsLeftToTheRuntime) {
  // A terminal's Ctrl-C (a console's Ctrl-Break) reaches the launcher and the runtime alike:
  // the launcher stays to return the status of the runtime, which cleans up.
  auto launcher = start("catch", true, Parent::Test, true);
  if (!launcher->interruptGroup())
    GTEST_SKIP() << "the console event could not be sent (no console under Wine)";
  EXPECT_EQ(launcher->waitFor(kEventLimit),
            std::optional<std::uint32_t>(caught(onWindows() ? kCtrlBreak : kSigInt)));
  expectNoneLeft();
}

TEST_F(LauncherStop, AConsoleEventLeavesTheLauncherWaitingForTheRuntime) {
  if (!onWindows()) GTEST_SKIP() << "console events are a Windows matter";
  for (int event : {kCtrlC, kCtrlBreak, kCtrlClose}) {
    SCOPED_TRACE("console event " + std::to_string(event));
    auto launcher = start("catch", true);
    // As a console does: every process on it gets the event. The runtime comes last, as it
    // ends the converter (which then gets no event) when it catches the event.
    for (unsigned long pid : {converterPid, launcherPid, javaPid})
      ASSERT_TRUE(deliverConsoleEvent(pid, event));
    EXPECT_EQ(launcher->waitFor(kEventLimit), std::optional<std::uint32_t>(caught(event)));
    expectNoneLeft();
  }
}

TEST_F(LauncherStop, ALauncherEndedAtOnceTakesTheRuntimeAndItsConverterWithIt) {
  // Windows: the runtime's job; Linux: the runtime's parent-death signal, a SIGTERM after
  // which it ends its converter. Also when the launcher itself runs in a job that allows no
  // breakaway, as under a build service or a CI runner.
  const std::vector<Parent> parents =
      onWindows() ? std::vector<Parent>{Parent::Test, Parent::Job} : std::vector<Parent>{Parent::Test};
  for (Parent parent : parents) {
    SCOPED_TRACE(parent == Parent::Test ? "started by the test" : "started inside a job");
    auto program = start("catch", true, parent);
    vantrel::testing::killProcess(launcherPid);
    EXPECT_TRUE(ends(launcherPid));
    expectNoneLeft();
  }
}

TEST_F(LauncherStop, ALauncherInsideAJobStillStartsTheRuntime) {
  if (!onWindows()) GTEST_SKIP() << "jobs are a Windows matter";
  RunResult r = runProgram(hostPath(JOB_PARENT_PATH), {inBin("bitmorph.exe"), "a b"}, launchEnvironment());
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_EQ(r.out, "java-args 2\n[com.vantrel.bitmorph.Bitmorph]\n[a b]\n");
}
