// Stress test of the process runner's collection promise: with hundreds of short children,
// every byte each child writes arrives exactly once and in order, whatever the timing,
// both one child at a time and with several in flight at once.
#include "utilities/Launcher.h"

#include <gtest/gtest.h>

#include "ChildHelper.h"
#include "utilities/Utilities.h"

using namespace vantrel::utilities;
using vantrel::testing::child;

namespace {

/// What child number n is asked to do, and what it must produce.
struct Job {
  std::unique_ptr<Launcher> launcher;
  std::string expectedOut;
  std::string expectedErr;
  int expectedExit = 0;
  std::string out;
  std::string err;
};

Job makeJob(int n) {
  Job job;
  const int lineCount = 1 + (n % 9) * 23; // from one line up to a few kilobytes
  const std::string prefix = "child" + std::to_string(n) + "-line";
  for (int i = 0; i < lineCount; ++i)
    job.expectedOut += prefix + std::to_string(i) + "\n";
  job.expectedOut += "tail" + std::to_string(n); // an unended last line
  job.expectedErr = "err" + std::to_string(n) + "\n";
  job.expectedExit = n % 5;
  job.launcher =
      Launcher::getInstance(child({"lines", prefix, std::to_string(lineCount), "err",
                                   job.expectedErr.substr(0, job.expectedErr.size() - 1) + "\\n", "out",
                                   "tail" + std::to_string(n), "exit", std::to_string(job.expectedExit)}));
  return job;
}

void check(Job &job, int n) {
  EXPECT_EQ(job.out, job.expectedOut) << "child " << n;
  EXPECT_EQ(job.err, job.expectedErr) << "child " << n;
  EXPECT_EQ(job.launcher->exitValue(), job.expectedExit) << "child " << n;
}

#ifdef _WIN32
// Under Wine every child start costs a few hundred milliseconds; fewer rounds keep the
// suite's time reasonable while still running well over a hundred children.
constexpr int SEQUENTIAL_CHILDREN = 100;
constexpr int CONCURRENT_ROUNDS = 10;
#else
constexpr int SEQUENTIAL_CHILDREN = 200;
constexpr int CONCURRENT_ROUNDS = 30;
#endif
constexpr int CONCURRENT_WIDTH = 4;

} // namespace

TEST(LauncherStress, ManyShortChildrenOneAtATime) {
  for (int n = 0; n < SEQUENTIAL_CHILDREN; ++n) {
    Job job = makeJob(n);
    ASSERT_TRUE(job.launcher->launch()) << job.launcher->launchError();
    while (job.launcher->running()) {
      job.out += job.launcher->read();
      job.err += job.launcher->readStdErr();
      Utilities::sleep(1);
    }
    job.out += job.launcher->read();
    job.err += job.launcher->readStdErr();
    check(job, n);
    if (::testing::Test::HasFailure()) return;
  }
}

TEST(LauncherStress, SeveralChildrenInFlightAtOnce) {
  int n = 0;
  for (int round = 0; round < CONCURRENT_ROUNDS; ++round) {
    std::vector<Job> jobs;
    for (int k = 0; k < CONCURRENT_WIDTH; ++k) {
      jobs.push_back(makeJob(n + k));
      ASSERT_TRUE(jobs.back().launcher->launch());
    }
    bool anyRunning = true;
    while (anyRunning) {
      anyRunning = false;
      for (Job &job : jobs) {
        // Whether it still runs is asked before reading, so that a false answer
        // guarantees the read that follows took everything.
        const bool running = job.launcher->running();
        job.out += job.launcher->read();
        job.err += job.launcher->readStdErr();
        anyRunning = anyRunning || running;
      }
      Utilities::sleep(1);
    }
    for (Job &job : jobs)
      check(job, n++);
    if (::testing::Test::HasFailure()) return;
  }
}
