// What processes leave and find: the temporary files of atomic writers that died (removed
// only when provably stale: the exact name of the destination's temporary file, a process id
// that no longer exists, and no writer holding it), whether a process id is alive, a request
// to end, whether a child ended by an interruption, and on Windows the job that ends a child
// with its parent.
#include "platform/file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "ChildHelper.h"
#include "hostText/FilePath.h"
#include "platform/fileHandle.h"
#include "platform/process.h"
#include "support/ScratchDir.h"

using namespace vantrel::platform;
using namespace vantrel::testing;

namespace {

const bool WINDOWS = std::string(lineSeparator()) == "\r\n";

/// A child that has ended; kept, so that on Windows its id is not given to another process.
std::unique_ptr<ChildProcess> endedChild() {
  std::string error;
  auto process = ChildProcess::start(child({"exit", "0"}), std::nullopt, error);
  EXPECT_NE(process, nullptr) << error;
  if (process) waitForEnd(*process);
  return process;
}

} // namespace

TEST(StaleTemporaries, OnlyTheDestinationsTemporaryFilesOfDeadUnheldWritersGo) {
  ScratchDir scratch;
  const auto folder = scratch.path() / vantrel::hostText::utf8Path("Out's v1.2 é€ Ж 日本");
  std::filesystem::create_directory(folder);
  const std::string dir = vantrel::hostText::pathUtf8(folder) + DIR_SEPARATOR;
  const std::string destination = dir + "Top é.flash";
  const auto ended = endedChild();
  ASSERT_NE(ended, nullptr);
  const std::string dead = std::to_string(ended->id());
  const std::string alive = std::to_string(currentProcessId());

  struct Case {
    std::string name;
    bool held;
    bool removed;
  };
  const Case cases[] = {
      {"Top é.flash." + dead + "-0.part", false, true},
      {"Top é.flash." + dead + "-4711.part", false, true},
      // held by a live writer whose process id happens to be a dead one's
      {"Top é.flash." + dead + "-1.part", true, false},
      // a live process's file
      {"Top é.flash." + alive + "-0.part", false, false},
      // anything but the exact pattern of this destination
      {"Top é.flash." + dead + "-0.part.bak", false, false},
      {"Top é.flash." + dead + "-x.part", false, false},
      {"Top é.flash." + dead + ".part", false, false},
      {"Top é.flash.-0.part", false, false},
      {"Top é.flash.+" + dead + "-0.part", false, false},
      {"Top é.flash.12345678901-0.part", false, false},
      {"Top é.flash" + dead + "-0.part", false, false},
      {"Top é.bin." + dead + "-0.part", false, false},
      {"Top é.flash." + dead + "-0.partial~", false, false},
  };
  std::vector<detail::NativeHandle> holders;
  for (const Case &c : cases) {
    if (c.held) {
      holders.push_back(detail::createExclusive(dir + c.name));
      ASSERT_NE(holders.back(), detail::INVALID_NATIVE_HANDLE);
    } else {
      ASSERT_TRUE(writeWholeFile(dir + c.name, "x", 1)) << c.name;
    }
  }
  // A folder with such a name is never a temporary file.
  std::filesystem::create_directory(folder / vantrel::hostText::utf8Path("Top é.flash." + dead + "-9.part"));

  std::vector<std::string> expected;
  for (const Case &c : cases)
    if (c.removed) expected.push_back(dir + c.name);
  auto removed = removeStaleTemporaries(destination);
  std::sort(removed.begin(), removed.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(removed, expected);
  for (const Case &c : cases)
    EXPECT_EQ(fileExists(dir + c.name), !c.removed) << c.name;
  EXPECT_TRUE(fileExists(dir + "Top é.flash." + dead + "-9.part"));
  for (const auto handle : holders)
    detail::closeHandle(handle);

  // An atomic writer of the destination clears them before it writes.
  ASSERT_TRUE(writeWholeFile(dir + "Top é.flash." + dead + "-2.part", "x", 1));
  OutputFile out;
  ASSERT_TRUE(out.open(destination, OutputFile::Mode::Atomic));
  EXPECT_FALSE(fileExists(dir + "Top é.flash." + dead + "-2.part"));
  ASSERT_TRUE(out.write("flash"));
  ASSERT_TRUE(out.commit());
}

TEST(ProcessExists, OnlyForAProcessThatRuns) {
  EXPECT_TRUE(processExists(currentProcessId()));
  const auto ended = endedChild();
  ASSERT_NE(ended, nullptr);
  EXPECT_FALSE(processExists(ended->id()));
  EXPECT_FALSE(processExists(0));
}

TEST(AskToEnd, SendsSigtermOnPosixAndNothingOnWindows) {
  std::string error;
  auto process = ChildProcess::start(child({"sleep", "60000"}), std::nullopt, error);
  ASSERT_NE(process, nullptr) << error;
  if (WINDOWS) {
    // Nothing was sent, so nothing is on its way to end the child.
    EXPECT_FALSE(process->askToEnd());
    EXPECT_EQ(process->status().state, ChildStatus::State::Running);
    process->terminate();
  } else {
    EXPECT_TRUE(process->askToEnd());
    const ChildStatus status = waitForEnd(*process);
    EXPECT_EQ(status.state, ChildStatus::State::Signaled);
    EXPECT_EQ(status.code, 15);
    EXPECT_FALSE(process->askToEnd()); // seen to end: nothing is sent to its id any more
  }
}

// A child's children end with it however it ends (Windows: the kill-on-close job), also when
// it runs inside a job of its own that allows no breakaway.
TEST(ChildJob, AKilledParentTakesItsChildrenWithIt) {
  if (!WINDOWS) GTEST_SKIP() << "jobs are Windows'";
  for (const bool inJob : {false, true}) {
    SCOPED_TRACE(inJob ? "parent in a job" : "parent in no job");
    std::vector<std::string> steps = {"spawn", "3",        CHILD_PATH, "sleep", "60000",
                                      "out",   "ready\\n", "sleep",    "60000"};
    if (inJob) steps.insert(steps.begin(), "injob");
    std::string error;
    auto parent = ChildProcess::start(child(steps), std::nullopt, error);
    ASSERT_NE(parent, nullptr) << error;
    std::string out;
    waitUntil([&] {
      char buffer[64];
      while (parent->available(ChildStream::Output, error) > 0) {
        const auto got = parent->read(ChildStream::Output, buffer, sizeof buffer, error);
        if (got <= 0) break;
        out.append(buffer, static_cast<std::size_t>(got));
      }
      return out.find("ready\n") != std::string::npos;
    });
    ASSERT_NE(out.find("ready\n"), std::string::npos) << out;
    const std::uint64_t grandchild = std::stoull(out);
    ASSERT_TRUE(processExists(grandchild));
    ASSERT_TRUE(parent->terminate());
    waitForEnd(*parent);
    waitUntil([&] { return !processExists(grandchild); });
    EXPECT_FALSE(processExists(grandchild));
  }
}
