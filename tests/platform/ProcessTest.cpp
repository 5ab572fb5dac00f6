// Tests of the platform process layer: starting with three pipes, non-blocking reads,
// status without waiting, termination, writes to an ended child, the program search and
// the environment helpers.
#include "platform/process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "ChildHelper.h"
#include "platform/environment.h"
#include "platform/file.h"
#include "platform/path.h"
#include "platform/time.h"
#include "support/ProcessControl.h"
#include "support/ScratchDir.h"
#include "support/Waiting.h"

using namespace vantrel::platform;
using vantrel::testing::child;
using vantrel::testing::waitForEnd;

namespace {

std::string readAll(ChildProcess &process, ChildStream stream) {
  std::string text, error;
  char buffer[100];
  for (;;) {
    const std::int64_t got = process.read(stream, buffer, sizeof buffer, error);
    if (got <= 0) {
      EXPECT_EQ(got, 0) << error;
      return text;
    }
    text.append(buffer, static_cast<std::size_t>(got));
  }
}

} // namespace

TEST(ChildStatusValue, MapsEachStateToOneInteger) {
  EXPECT_EQ((ChildStatus{ChildStatus::State::Running, 0}.exitValue()), -1);
  EXPECT_EQ((ChildStatus{ChildStatus::State::Exited, 0}.exitValue()), 0);
  EXPECT_EQ((ChildStatus{ChildStatus::State::Exited, 3}.exitValue()), 3);
  EXPECT_EQ((ChildStatus{ChildStatus::State::Exited, -1}.exitValue()), -1);
  EXPECT_EQ((ChildStatus{ChildStatus::State::Signaled, 9}.exitValue()), 137);
  EXPECT_EQ((ChildStatus{ChildStatus::State::Signaled, 15}.exitValue()), 143);
  // A status the OS could not give is no exit status, and never "still running".
  EXPECT_EQ((ChildStatus{ChildStatus::State::Failed, 6}.exitValue()), -1);
}

TEST(ChildStatusEnding, CrashesAreTellableFromExitsAndSaidAsTheSystemSaysThem) {
  using State = ChildStatus::State;
  const bool windows = std::string(lineSeparator()) == "\r\n";
  struct Case {
    ChildStatus status;
    bool crash;            // on this OS
    const char *described; // on this OS
  };
  const Case cases[] = {
      {{State::Exited, 0}, false, "exited with status 0"},
      {{State::Exited, 3}, false, "exited with status 3"},
      // A Windows exit status of error severity is a crash; 0xBFFFFFFF is below it.
      {{State::Exited, static_cast<int>(0xC0000005u)},
       windows,
       windows ? "ended with status 0xC0000005" : "exited with status -1073741819"},
      {{State::Exited, static_cast<int>(0xC000013Au)},
       windows,
       windows ? "ended with status 0xC000013A" : "exited with status -1073741510"},
      {{State::Exited, static_cast<int>(0xBFFFFFFFu)}, false, "exited with status -1073741825"},
      {{State::Signaled, 11}, true, "ended by signal 11 (SIGSEGV)"},
      {{State::Signaled, 9}, true, "ended by signal 9 (SIGKILL)"},
      {{State::Signaled, 64}, true, "ended by signal 64"},
  };
  for (const Case &c : cases) {
    // No Windows child dies by a signal: those cases are POSIX only.
    if (windows && c.status.state == State::Signaled) continue;
    EXPECT_EQ(endedByCrash(c.status), c.crash) << c.described;
    EXPECT_EQ(describeEnding(c.status), c.described);
  }
}

TEST(ChildProcessStart, MissingProgramReportsWhy) {
  std::string error;
  const std::string missing = std::string(vantrel::testing::CHILD_PATH) + "-missing";
  EXPECT_EQ(ChildProcess::start({missing}, std::nullopt, error), nullptr);
  EXPECT_EQ(error.rfind("Cannot run program \"" + missing + "\": ", 0), 0u) << error;
  error.clear();
  EXPECT_EQ(ChildProcess::start({"bm-no-such-program-anywhere"}, std::nullopt, error), nullptr);
  EXPECT_EQ(error.rfind("Cannot run program \"bm-no-such-program-anywhere\": ", 0), 0u) << error;
}

TEST(ChildProcessStart, AFileThatCannotRunIsAFailedStartWithTheSystemsReason) {
  vantrel::testing::ScratchDir scratch;
  const std::string program =
      scratch.file(hostSystem() == vantrel::hostText::HostSystem::Windows ? "text.exe" : "text");
  vantrel::testing::writeBytes(program, "no program\n");
  std::filesystem::permissions(vantrel::hostText::utf8Path(program), std::filesystem::perms::owner_all);
  std::string error;
  EXPECT_EQ(ChildProcess::start({program}, std::nullopt, error), nullptr);
  const std::string prefix = "Cannot run program \"" + program + "\": ";
  EXPECT_EQ(error.rfind(prefix, 0), 0u) << error;
  EXPECT_GT(error.size(), prefix.size()) << "no reason given";
}

TEST(ChildProcessStart, EmptyCommandReportsNoProgram) {
  std::string error;
  EXPECT_EQ(ChildProcess::start({}, std::nullopt, error), nullptr);
  EXPECT_EQ(error, "no program given");
  EXPECT_EQ(ChildProcess::start({""}, std::nullopt, error), nullptr);
  EXPECT_EQ(error, "no program given");
}

TEST(ChildProcessPipes, AvailableCountsWhatCanBeReadNow) {
  std::string error;
  auto process = ChildProcess::start(child({"out", "abc", "err", "de"}), std::nullopt, error);
  ASSERT_NE(process, nullptr) << error;
  EXPECT_GT(process->id(), 0u);
  const ChildStatus status = waitForEnd(*process);
  EXPECT_EQ(status.state, ChildStatus::State::Exited);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(process->available(ChildStream::Output, error), 3);
  EXPECT_EQ(process->available(ChildStream::Error, error), 2);
  EXPECT_EQ(readAll(*process, ChildStream::Output), "abc");
  EXPECT_EQ(readAll(*process, ChildStream::Error), "de");
  EXPECT_EQ(process->available(ChildStream::Output, error), 0);
}

TEST(ChildProcessPipes, NothingAvailableWhileChildIsSilent) {
  std::string error;
  auto process = ChildProcess::start(child({"echo"}), std::nullopt, error);
  ASSERT_NE(process, nullptr) << error;
  EXPECT_EQ(process->available(ChildStream::Output, error), 0);
  EXPECT_EQ(process->status().state, ChildStatus::State::Running);
  EXPECT_TRUE(process->terminate());
  waitForEnd(*process);
}

TEST(ChildProcessStatus, ExitCodeIsReported) {
  std::string error;
  auto process = ChildProcess::start(child({"exit", "42"}), std::nullopt, error);
  ASSERT_NE(process, nullptr) << error;
  const ChildStatus status = waitForEnd(*process);
  EXPECT_EQ(status.state, ChildStatus::State::Exited);
  EXPECT_EQ(status.exitValue(), 42);
  EXPECT_EQ(process->status().exitValue(), 42); // asked again: the same answer
}

TEST(ChildProcessStatus, AWaitForTheEndReturnsWhenTheChildEnds) {
  // The process runner's watcher waits this way between its looks at the child: a run must
  // go on when the child ends, not when a long wait is over.
  std::string error;
  auto ending = ChildProcess::start(child({"sleep", "100", "exit", "3"}), std::nullopt, error);
  ASSERT_NE(ending, nullptr) << error;
  const std::int64_t before = nowMillis();
  while (ending->status().state == ChildStatus::State::Running && nowMillis() - before < 120000)
    ending->waitForEnd(60000);
  EXPECT_LT(nowMillis() - before, 30000);
  EXPECT_EQ(ending->status().exitValue(), 3);
  auto running = ChildProcess::start(child({"sleep", "20000"}), std::nullopt, error);
  ASSERT_NE(running, nullptr) << error;
  running->waitForEnd(20);
  EXPECT_EQ(running->status().state, ChildStatus::State::Running);
  EXPECT_TRUE(running->terminate());
  waitForEnd(*running);
}

TEST(ChildProcessStatus, TerminatedChildEndsWithFailureStatus) {
  std::string error;
  auto process = ChildProcess::start(child({"sleep", "20000"}), std::nullopt, error);
  ASSERT_NE(process, nullptr) << error;
  EXPECT_TRUE(process->terminate());
  const ChildStatus status = waitForEnd(*process);
  // SIGKILL on POSIX (128 + 9), TerminateProcess with status 1 on Windows.
  EXPECT_TRUE(status.exitValue() == 137 || status.exitValue() == 1) << status.exitValue();
  EXPECT_FALSE(process->terminate()); // already ended: nothing is signalled
}

// A request to end reaches everything the child started in its group, also when the child
// itself ignores it (a worker of a wrapper script that traps the signal).
TEST(ChildProcessGroup, AskToEndReachesTheChildsWholeGroup) {
  if (hostSystem() == vantrel::hostText::HostSystem::Windows)
    GTEST_SKIP() << "Windows has no request to send";
  for (const StopRequest request : {StopRequest::Interrupt, StopRequest::Terminate, StopRequest::HangUp}) {
    std::string error;
    auto process = ChildProcess::start(child({"worker", "2", "sleep", "60000", "ignore", "2", "ignore", "15",
                                              "ignore", "1", "out", "ready\\n", "sleep", "60000"}),
                                       std::nullopt, error);
    ASSERT_NE(process, nullptr) << error;
    std::string out;
    const std::int64_t deadline = nowMillis() + 15000;
    while (out.find("ready\n") == std::string::npos && nowMillis() < deadline) {
      char buffer[64];
      const std::int64_t got = process->read(ChildStream::Output, buffer, sizeof buffer, error);
      if (got <= 0) break;
      out.append(buffer, static_cast<std::size_t>(got));
    }
    ASSERT_NE(out.find("ready\n"), std::string::npos) << out;
    const std::uint64_t worker = std::stoull(out);
    EXPECT_TRUE(process->askToEnd(request));
    EXPECT_TRUE(vantrel::testing::waitUntil([&] { return !vantrel::testing::processRuns(worker); }))
        << "the worker did not receive the request";
    EXPECT_EQ(process->status().state, ChildStatus::State::Running); // it ignores the request
    EXPECT_TRUE(process->terminate());
    EXPECT_EQ(waitForEnd(*process).code, 9);
  }
}

TEST(ChildProcessInput, WriteReachesChildAndFailsQuietlyAfterItEnds) {
  std::string error;
  auto process = ChildProcess::start(child({"echo"}), std::nullopt, error);
  ASSERT_NE(process, nullptr) << error;
  const std::string text = "ping\n";
  ASSERT_TRUE(process->writeInput(text.data(), text.size()));
  std::string seen;
  char buffer[16];
  while (seen.size() < text.size()) {
    const std::int64_t got = process->read(ChildStream::Output, buffer, sizeof buffer, error);
    ASSERT_GT(got, 0) << error;
    seen.append(buffer, static_cast<std::size_t>(got));
  }
  EXPECT_EQ(seen, text);
  EXPECT_TRUE(process->terminate());
  waitForEnd(*process);
  const std::string big(1 << 20, 'x');
  EXPECT_FALSE(process->writeInput(big.data(), big.size()));
}

TEST(FindProgram, NameWithFolderIsTakenAsItIs) {
  EXPECT_EQ(findProgram(vantrel::testing::CHILD_PATH),
            std::optional<std::string>(vantrel::testing::CHILD_PATH));
}

TEST(FindProgram, NameWithoutFolderIsSearchedOnPath) {
  const std::optional<std::string> old = getEnvironmentVariable("PATH");
  ASSERT_TRUE(setEnvironmentVariable("PATH", std::string(vantrel::testing::CHILD_DIR) +
                                                 vantrel::testing::PATH_LIST_SEPARATOR + old.value_or("")));
  const std::optional<std::string> found = findProgram(vantrel::testing::CHILD_NAME);
  const std::optional<std::string> missing = findProgram("bm-no-such-program-anywhere");
  setEnvironmentVariable("PATH", old);
  EXPECT_EQ(found, std::optional<std::string>(vantrel::testing::CHILD_PATH));
  EXPECT_EQ(missing, std::nullopt);
  EXPECT_EQ(findProgram(""), std::nullopt);
}

TEST(Environment, SetGetAndRemove) {
  EXPECT_TRUE(setEnvironmentVariable("BM_ENV_TEST", std::string("a value")));
  EXPECT_EQ(getEnvironmentVariable("BM_ENV_TEST"), std::optional<std::string>("a value"));
  const auto all = environmentList();
  EXPECT_NE(std::find(all.begin(), all.end(), "BM_ENV_TEST=a value"), all.end());
  EXPECT_TRUE(setEnvironmentVariable("BM_ENV_TEST", std::nullopt));
  EXPECT_EQ(getEnvironmentVariable("BM_ENV_TEST"), std::nullopt);
}

TEST(Environment, EmptyValueIsNotMissing) {
  EXPECT_TRUE(setEnvironmentVariable("BM_ENV_EMPTY", std::string("")));
  EXPECT_EQ(getEnvironmentVariable("BM_ENV_EMPTY"), std::optional<std::string>(""));
  setEnvironmentVariable("BM_ENV_EMPTY", std::nullopt);
}

TEST(Environment, BadNamesAreRefused) {
  EXPECT_FALSE(setEnvironmentVariable("", std::string("x")));
  EXPECT_FALSE(setEnvironmentVariable("A=B", std::string("x")));
}
