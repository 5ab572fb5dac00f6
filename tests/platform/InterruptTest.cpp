// The clean-up of an interrupted process, seen from outside: the child program registers
// files and starts a child of its own, and is then stopped by each signal (each console
// event under Windows). It removes what it produced and nothing else, ends its child (killing
// one that does not end by itself after the grace period) and ends by the signal.
#include "platform/interrupt.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "ChildHelper.h"
#include "hostText/FilePath.h"
#include "platform/file.h"
#include "platform/process.h"
#include "platform/time.h"
#include "support/ProcessControl.h"
#include "support/ScratchDir.h"
#include "support/Waiting.h"

using namespace vantrel::platform;
using namespace vantrel::testing;

namespace {

/// The child program, started and read until it has written "ready".
class Stoppable {
public:
  explicit Stoppable(const std::vector<std::string> &steps) {
    std::string error;
    process_ = ChildProcess::start(child(steps), std::nullopt, error);
    EXPECT_NE(process_, nullptr) << error;
  }
  /// Reads standard output until "ready\n"; false when the child ended or took too long.
  bool waitUntilReady() {
    if (!process_) return false;
    waitUntil([&] {
      drain();
      return out_.find("ready\n") != std::string::npos ||
             process_->status().state != ChildStatus::State::Running;
    });
    drain();
    return out_.find("ready\n") != std::string::npos;
  }
  /// The first line written: the id of the child's own child.
  std::uint64_t grandchild() const { return std::stoull(out_.substr(0, out_.find('\n'))); }
  ChildStatus waitForEnd() {
    waitUntil([&] {
      drain();
      return process_->status().state != ChildStatus::State::Running;
    });
    return process_->status();
  }
  ChildProcess &process() { return *process_; }
  ~Stoppable() {
    if (process_) process_->terminate();
  }

private:
  void drain() {
    char buffer[256];
    std::string error;
    while (process_->available(ChildStream::Output, error) > 0) {
      const std::int64_t got = process_->read(ChildStream::Output, buffer, sizeof buffer, error);
      if (got <= 0) return;
      out_.append(buffer, static_cast<std::size_t>(got));
    }
  }
  std::unique_ptr<ChildProcess> process_;
  std::string out_;
};

class InterruptedProcess : public ::testing::TestWithParam<Stop> {
protected:
  void SetUp() override {
    if (!stopDeliverable(GetParam())) GTEST_SKIP() << "this console event cannot be delivered here";
    const auto folder = scratch_.path() / vantrel::hostText::utf8Path("Stop's v1.2 é€ Ж 日本");
    std::filesystem::create_directory(folder);
    dir_ = vantrel::hostText::pathUtf8(folder) + DIR_SEPARATOR;
  }
  std::string file(const std::string &name) const { return dir_ + name; }
  std::string read(const std::string &name) const {
    const auto bytes = readWholeFile(file(name));
    return bytes ? std::string(bytes->begin(), bytes->end()) : "<missing>";
  }

  ScratchDir scratch_;
  std::string dir_;
};

TEST_P(InterruptedProcess, RemovesOnlyWhatItProducedAndEndsItsChildAndItself) {
  ASSERT_TRUE(writeWholeFile(file("there.txt"), "there", 5));
  ASSERT_TRUE(writeWholeFile(file("rewritten.txt"), "before", 6));
  Stoppable stoppable({"handlers", "spawn", "3", CHILD_PATH, "sleep", "60000",
                       // produced by the run: removed
                       "register", file("made.tmp"), "write", file("made.tmp"), "made",
                       // there before and untouched: kept
                       "register", file("there.txt"),
                       // there before and rewritten: produced by the run, removed
                       "register", file("rewritten.txt"), "write", file("rewritten.txt"), "after!",
                       // taken out of the registration again (a result, or kept with --save)
                       "register", file("saved.tmp"), "write", file("saved.tmp"), "saved", "unregister",
                       file("saved.tmp"),
                       // registered, never made
                       "register", file("never.tmp"), "out", "ready\\n", "sleep", "60000"});
  ASSERT_TRUE(stoppable.waitUntilReady());
  const std::uint64_t grandchild = stoppable.grandchild();
  ASSERT_TRUE(processExists(grandchild));

  ASSERT_TRUE(sendStop(stoppable.process().id(), GetParam()));
  const ChildStatus status = stoppable.waitForEnd();
  EXPECT_EQ(status.exitValue(), stoppedExitValue(GetParam()));
  EXPECT_FALSE(processExists(grandchild));
  EXPECT_EQ(read("made.tmp"), "<missing>");
  EXPECT_EQ(read("there.txt"), "there");
  EXPECT_EQ(read("rewritten.txt"), "<missing>");
  EXPECT_EQ(read("saved.tmp"), "saved");
  EXPECT_EQ(read("never.tmp"), "<missing>");
}

// The grace period is the same whatever stopped the process: one stop shows it.
TEST(InterruptedProcessChild, AChildThatDoesNotEndIsKilledAfterTheGracePeriod) {
  if (!stopDeliverable(Stop::Interrupt)) GTEST_SKIP() << "this console event cannot be delivered here";
  // The child's child says that it ignores the stops by making a file.
  ScratchDir scratch;
  const std::string ignoring = scratch.file("ignoring");
  Stoppable stoppable({"handlers", "spawn", "12", CHILD_PATH, "ignore", "15", "ignore", "2", "ignore", "1",
                       "write", ignoring, "", "sleep", "60000", "out", "ready\\n", "sleep", "60000"});
  ASSERT_TRUE(stoppable.waitUntilReady());
  const std::uint64_t grandchild = stoppable.grandchild();
  ASSERT_TRUE(waitUntil([&] { return fileExists(ignoring); }));
  const std::int64_t stopped = nowMillis();
  ASSERT_TRUE(sendStop(stoppable.process().id(), Stop::Interrupt));
  const ChildStatus status = stoppable.waitForEnd();
  const std::int64_t took = nowMillis() - stopped;
  EXPECT_EQ(status.exitValue(), stoppedExitValue(Stop::Interrupt));
  EXPECT_FALSE(processExists(grandchild));
  EXPECT_GE(took, CHILD_GRACE_MILLIS - 100);
  EXPECT_LT(took, CHILD_GRACE_MILLIS + 5000);
}

INSTANTIATE_TEST_SUITE_P(EachStop, InterruptedProcess,
                         ::testing::Values(Stop::Interrupt, Stop::Terminate, Stop::HangUp),
                         [](const auto &info) {
                           return "signal" + std::to_string(signalNumber(info.param));
                         });

TEST(InterruptHandlers, OnceTakenAwayTheStopHasItsDefaultEffect) {
  if (!stopDeliverable(Stop::Terminate)) GTEST_SKIP() << "this console event cannot be delivered here";
  ScratchDir scratch;
  const std::string made = scratch.file("made.tmp");
  Stoppable stoppable(
      {"handlers", "register", made, "write", made, "x", "unhandlers", "out", "ready\\n", "sleep", "60000"});
  ASSERT_TRUE(stoppable.waitUntilReady());
  ASSERT_TRUE(sendStop(stoppable.process().id(), Stop::Interrupt));
  const ChildStatus status = stoppable.waitForEnd();
  EXPECT_NE(status.state, ChildStatus::State::Running);
  // Ended by the default action: nothing was cleaned up.
  EXPECT_TRUE(fileExists(made));
}

TEST(InterruptHandlers, ASignalIgnoredAtTheStartStaysIgnored) {
  if (std::string(lineSeparator()) != "\n") GTEST_SKIP() << "POSIX signals only";
  Stoppable stoppable({"ignore", "1", "handlers", "out", "ready\\n", "sleep", "60000"});
  ASSERT_TRUE(stoppable.waitUntilReady());
  // A signal that is ignored is discarded when it is sent: nothing is left to wait for. Had it
  // been caught or taken by its default action instead, the process would end by it, and
  // not by the SIGTERM below.
  ASSERT_TRUE(sendStop(stoppable.process().id(), Stop::HangUp));
  EXPECT_EQ(stoppable.process().status().state, ChildStatus::State::Running);
  ASSERT_TRUE(sendStop(stoppable.process().id(), Stop::Terminate));
  EXPECT_EQ(stoppable.waitForEnd().exitValue(), stoppedExitValue(Stop::Terminate));
}

} // namespace
