// A full disk while the flash file is written: the run ends with "Error writing Flash file,
// exiting" and exit code 7, and no file claims to be a finished result. Driven in-process
// through the platform layer's fault seam on both platforms, and on Linux also for real on
// a small tmpfs mounted for the test.
#include "bitmorph/Bitmorph.h"
#include "bitmorph/Messages.h"
#include "commandOptions/StandardStreams.h"
#include "platform/environment.h"
#include "platform/file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "DriverRunner.h"
#include "SofBuilder.h"
#include "support/ScratchDir.h"

#ifdef __linux__
#include <sys/mount.h>
#endif

namespace vantrel::bitmorph::test {
namespace {

using vantrel::testing::readBytes;
using vantrel::testing::ScratchDir;
using vantrel::testing::writeBytes;

/// Fails every write to the one file named like the destination, as a full disk would.
class FullDiskHook : public platform::IoFaultHook {
public:
  explicit FullDiskHook(std::string suffix) : suffix_(std::move(suffix)) {}
  bool allowWrite(const std::string &path, std::size_t) override { return !endsWith(path); }
  bool allowClose(const std::string &path) override { return !(failClose && endsWith(path)); }
  bool failClose = false;

private:
  bool endsWith(const std::string &path) const {
    return path.size() >= suffix_.size() &&
           path.compare(path.size() - suffix_.size(), suffix_.size(), suffix_) == 0;
  }
  std::string suffix_;
};

/// Puts the test converter first on this process's PATH for the in-process runs.
class PathGuard {
public:
  PathGuard() : saved_(platform::getEnvironmentVariable("PATH")) {
    const std::string separator = BM_TEST_WINDOWS ? ";" : ":";
    platform::setEnvironmentVariable("PATH", hostPath(BM_FAKE_BIN) + separator + saved_.value_or(""));
  }
  ~PathGuard() { platform::setEnvironmentVariable("PATH", saved_); }

private:
  std::optional<std::string> saved_;
};

class FullDiskTest : public ::testing::Test {
protected:
  std::vector<std::string> run(platform::IoFaultHook &hook, const std::string &extra = "--offset=0x100") {
    writeBytes(dir_.file("top.sof"), SofBuilder(true).partName("KX2R").text());
    PathGuard path;
    commandOptions::setStandardOutput(&out_);
    platform::setIoFaultHook(&hook);
    Bitmorph driver(
        {"--input=" + dir_.file("top.sof"), "--output=" + dir_.file("top.flash"), "--offset=0x100", extra});
    platform::setIoFaultHook(nullptr);
    commandOptions::setStandardOutput(nullptr);
    code_ = driver.getRetValue();
    return dir_.list();
  }
  ScratchDir dir_;
  std::ostringstream out_;
  int code_ = -1;
};

TEST_F(FullDiskTest, AnOptionsFileThatCannotBeWrittenNamesTheReason) {
  FullDiskHook hook("top.opt");
  run(hook, "--compress");
  EXPECT_EQ(code_, Bitmorph::EXT_APP_ERROR);
  // The file and the OS's words for a full disk, then the design's own line.
  const std::string cause = "Cannot write " + dir_.file("top.opt") + ": ";
  const std::string failed = messages::OPTIONS_FILE_FAILED + dir_.file("top.opt");
  const std::string out = out_.str();
  const auto at = out.find(cause);
  ASSERT_NE(at, std::string::npos) << out;
  const char reason = out.at(at + cause.size());
  EXPECT_TRUE(reason != '\r' && reason != '\n') << out;
  EXPECT_GT(out.find(failed), at) << out;
}

TEST_F(FullDiskTest, FailedWritesEndWithCodeSevenAndNoFlashFile) {
  FullDiskHook hook("top.flash");
  const auto files = run(hook);
  EXPECT_EQ(code_, Bitmorph::OUTPUT_ERROR);
  // Only the design remains: no flash file, no temporary file, the raw image cleaned up.
  EXPECT_EQ(files, (std::vector<std::string>{"top.sof"}));
}

TEST_F(FullDiskTest, FailedCloseEndsWithCodeSevenAndNoFlashFile) {
  // Writes succeed; only the close fails (a delayed write error).
  struct CloseOnly : FullDiskHook {
    using FullDiskHook::FullDiskHook;
    bool allowWrite(const std::string &, std::size_t) override { return true; }
  } closeOnly("top.flash");
  closeOnly.failClose = true;
  const auto files = run(closeOnly);
  EXPECT_EQ(code_, Bitmorph::OUTPUT_ERROR);
  EXPECT_EQ(files, (std::vector<std::string>{"top.sof"}));
}

TEST_F(FullDiskTest, AnEarlierFlashFileIsKeptWhenTheNewOneFails) {
  writeBytes(dir_.file("top.flash"), "earlier result\n");
  FullDiskHook hook("top.flash");
  const auto files = run(hook);
  EXPECT_EQ(code_, Bitmorph::OUTPUT_ERROR);
  EXPECT_EQ(readBytes(dir_.file("top.flash")), "earlier result\n");
  EXPECT_EQ(files, (std::vector<std::string>{"top.flash", "top.sof"}));
}

#ifdef __linux__
// A real file system that fills up: a 256 KiB tmpfs holds the design and the raw image
// (200,000 bytes) but not the flash file (about 2.4 times the image). Needs root to mount.
TEST(FullDiskTmpfs, RealFullDiskEndsWithCodeSevenAndLeavesNoPartialFile) {
  ScratchDir dir;
  const std::string mountPoint = dir.file("small");
  std::filesystem::create_directory(mountPoint);
  if (::mount("bm-test", mountPoint.c_str(), "tmpfs", 0, "size=256k") != 0)
    GTEST_SKIP() << "cannot mount a tmpfs here (not root?)";
  struct Unmount {
    std::string path;
    ~Unmount() { ::umount2(path.c_str(), MNT_DETACH); }
  } unmount{mountPoint};

  writeBytes(mountPoint + "/top.sof", SofBuilder(true).partName("KX2R").text());
  const auto r =
      runDriver({"--input=" + mountPoint + "/top.sof", "--output=" + mountPoint + "/top.flash", "--offset=0"},
                {"BM_FAKE_SIZE=200000"});
  EXPECT_EQ(r.exitCode, Bitmorph::OUTPUT_ERROR) << r.out;
  bool reported = false;
  for (const auto &line : r.lines)
    reported = reported || line == std::string("(SEVERE) bitmorph: ") + messages::WRITE_FAILED;
  EXPECT_TRUE(reported) << r.out;
  std::vector<std::string> left;
  for (auto &entry : std::filesystem::directory_iterator(mountPoint))
    left.push_back(entry.path().filename().string());
  EXPECT_EQ(left, (std::vector<std::string>{"top.sof"}));
}
#endif

} // namespace
} // namespace vantrel::bitmorph::test
