// The lock between processes on a lock file: a second holder waits (and says so once) until
// the first lets go, the file exists only while the lock is held, an empty leftover is taken
// over, and a file that is no lock file is never taken or touched.
#include "platform/fileLock.h"
#include "platform/PlatformMessages.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include "hostText/FilePath.h"
#include "platform/file.h"
#include "support/ScratchDir.h"
#include "support/Waiting.h"

using namespace vantrel::platform;
using vantrel::testing::ScratchDir;

namespace {

std::string lockPath(const ScratchDir &scratch, const std::string &name) {
  const auto folder = scratch.path() / vantrel::hostText::utf8Path("Lock's v1.2 é€ Ж 日本");
  std::filesystem::create_directories(folder);
  return vantrel::hostText::pathUtf8(folder / vantrel::hostText::utf8Path(name));
}

std::string contents(const std::string &path) {
  const auto bytes = readWholeFile(path);
  return bytes ? std::string(bytes->begin(), bytes->end()) : "<missing>";
}

} // namespace

TEST(FileLock, ASecondHolderWaitsUntilTheFirstLetsGo) {
  ScratchDir scratch;
  const std::string path = lockPath(scratch, "Top é.lock");
  auto first = FileLock::acquire(path);
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(fileExists(path));

  std::atomic<int> waits{0};
  std::atomic<bool> held{false};
  // Cleared just before the first lets go: a second holder that finds it still set got the
  // lock while the first held it.
  std::atomic<bool> firstHolds{true};
  std::atomic<bool> heldTogether{false};
  std::thread second([&] {
    auto lock = FileLock::acquire(path, [&] { ++waits; });
    heldTogether = lock != nullptr && firstHolds;
    held = lock != nullptr;
  });
  EXPECT_TRUE(vantrel::testing::waitUntil([&] { return waits > 0; })) << "the second holder never waited";
  EXPECT_EQ(waits, 1);
  EXPECT_FALSE(held);
  firstHolds = false;
  first.reset();
  second.join();
  EXPECT_FALSE(heldTogether);
  EXPECT_TRUE(held);
  EXPECT_EQ(waits, 1);
  EXPECT_FALSE(fileExists(path)); // both let go: no lock file is left
}

TEST(FileLock, AnEmptyLeftoverIsTakenOverAndNothingElseIsTaken) {
  ScratchDir scratch;
  const std::string path = lockPath(scratch, "Top é.lock");
  ASSERT_TRUE(writeWholeFile(path, "", 0)); // left by a killed holder
  bool waited = false;
  {
    auto lock = FileLock::acquire(path, [&] { waited = true; });
    ASSERT_NE(lock, nullptr);
    EXPECT_FALSE(waited);
  }
  EXPECT_FALSE(fileExists(path));

  // Each refusal says why: something else in the way, or the OS's own reason.
  std::string reason;
  ASSERT_TRUE(writeWholeFile(path, "user data", 9));
  EXPECT_EQ(FileLock::acquire(path, {}, reason), nullptr);
  EXPECT_EQ(reason, vantrel::platform::msg::NOT_A_LOCK_FILE);
  EXPECT_EQ(contents(path), "user data");

  const std::string folder = lockPath(scratch, "Folder.lock");
  std::filesystem::create_directory(vantrel::hostText::utf8Path(folder));
  EXPECT_EQ(FileLock::acquire(folder), nullptr);
  EXPECT_TRUE(statFile(folder)->isDirectory);

  reason.clear();
  EXPECT_EQ(FileLock::acquire(lockPath(scratch, "missing/Top.lock"), {}, reason), nullptr);
  EXPECT_FALSE(reason.empty());
  EXPECT_NE(reason, vantrel::platform::msg::NOT_A_LOCK_FILE);
}
