// Tests of the file helpers: write only on change (modification time kept), exact bytes,
// failures reported without damage to the old file, appends, reads and modification times.
#include "utilities/ZemFile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "platform/file.h"
#include "platform/time.h"
#include "support/ScratchDir.h"
#include "utilities/IoError.h"
#include "utilities/UtilitiesMessages.h"

using namespace vantrel::utilities;
using vantrel::testing::ScratchDir;
namespace fs = std::filesystem;

namespace {

/// Puts the file's modification time back to a fixed old instant, so that any write
/// afterwards shows as a change.
fs::file_time_type ageFile(const std::string &path) {
  const fs::file_time_type old = fs::last_write_time(path) - std::chrono::hours(24 * 400);
  fs::last_write_time(path, old);
  return old;
}

/// Fails every write, as a full disk would.
class FullDisk : public vantrel::platform::IoFaultHook {
public:
  bool allowWrite(const std::string &, std::size_t) override { return false; }
};

struct HookGuard {
  explicit HookGuard(vantrel::platform::IoFaultHook *hook) { vantrel::platform::setIoFaultHook(hook); }
  ~HookGuard() { vantrel::platform::setIoFaultHook(nullptr); }
};

std::string everyByteValue() {
  std::string text;
  for (int i = 0; i < 256; ++i)
    text += static_cast<char>(i);
  return text;
}

} // namespace

TEST(ZemFileWrite, WritesExactBytesWithoutLineEndConversion) {
  ScratchDir dir;
  const std::string text = "one\ntwo\r\nthree" + everyByteValue();
  EXPECT_TRUE(ZemFile::writeFile(dir.file("a.cof"), text));
  EXPECT_EQ(ZemFile::readFile(dir.file("a.cof")), std::optional<std::string>(text));
}

TEST(ZemFileWrite, SameTextTwiceLeavesFileAndTimeUntouched) {
  ScratchDir dir;
  const std::string path = dir.file("t.cof");
  ASSERT_TRUE(ZemFile::writeFile(path, "same\n"));
  const fs::file_time_type old = ageFile(path);
  EXPECT_TRUE(ZemFile::writeFile(path, "same\n"));
  EXPECT_EQ(fs::last_write_time(path), old);
  EXPECT_EQ(ZemFile::readFile(path), std::optional<std::string>("same\n"));
}

TEST(ZemFileWrite, DifferentTextReplacesWholeContent) {
  ScratchDir dir;
  const std::string path = dir.file("t.cof");
  ASSERT_TRUE(ZemFile::writeFile(path, "a much longer first text\n"));
  const fs::file_time_type old = ageFile(path);
  EXPECT_TRUE(ZemFile::writeFile(path, "short\n"));
  EXPECT_EQ(ZemFile::readFile(path), std::optional<std::string>("short\n"));
  EXPECT_NE(fs::last_write_time(path), old);
  EXPECT_EQ(dir.count(), 1u); // no temporary file left beside it
}

TEST(ZemFileWrite, EmptyTextCreatesEmptyFileAndThenDoesNothing) {
  ScratchDir dir;
  const std::string path = dir.file("empty.txt");
  EXPECT_TRUE(ZemFile::writeFile(path, ""));
  EXPECT_EQ(ZemFile::readFile(path), std::optional<std::string>(""));
  const fs::file_time_type old = ageFile(path);
  EXPECT_TRUE(ZemFile::writeFile(path, ""));
  EXPECT_EQ(fs::last_write_time(path), old);
}

TEST(ZemFileWrite, MissingFolderFails) {
  ScratchDir dir;
  const std::string path = dir.file("no-such-dir") + "/x.cof";
  EXPECT_FALSE(ZemFile::writeFile(path, "text"));
  EXPECT_FALSE(fs::exists(dir.file("no-such-dir")));
  try {
    ZemFile::writeFileX(path, "text");
    ADD_FAILURE() << "writeFileX returned";
  } catch (const IoError &e) {
    EXPECT_EQ(std::string(e.what()), std::string(CANNOT_OPEN_FOR_WRITING) + path);
    EXPECT_EQ(std::string(e.what()), "Cannot open file for writing: " + path);
  }
}

TEST(ZemFileWrite, FolderInTheWayFails) {
  ScratchDir dir;
  fs::create_directories(dir.file("sub"));
  EXPECT_FALSE(ZemFile::writeFile(dir.file("sub"), "text"));
  EXPECT_TRUE(fs::is_directory(dir.file("sub")));
}

TEST(ZemFileWrite, FailedWriteKeepsTheOldFile) {
  ScratchDir dir;
  const std::string path = dir.file("keep.cof");
  ASSERT_TRUE(ZemFile::writeFile(path, "old content\n"));
  FullDisk fullDisk;
  HookGuard guard(&fullDisk);
  EXPECT_FALSE(ZemFile::writeFile(path, "new content\n"));
  try {
    ZemFile::writeFileX(path, "new content\n");
    ADD_FAILURE() << "writeFileX returned";
  } catch (const IoError &e) {
    EXPECT_EQ(std::string(e.what()), "Cannot write file: " + path);
  }
  EXPECT_EQ(ZemFile::readFile(path), std::optional<std::string>("old content\n"));
  EXPECT_EQ(dir.count(), 1u);
}

TEST(ZemFileAppend, CreatesThenAppends) {
  ScratchDir dir;
  const std::string path = dir.file("log.txt");
  EXPECT_TRUE(ZemFile::appendFile(path, "one\n"));
  EXPECT_TRUE(ZemFile::appendFile(path, "two\r\n"));
  EXPECT_EQ(ZemFile::readFile(path), std::optional<std::string>("one\ntwo\r\n"));
}

TEST(ZemFileAppend, FailuresAreReported) {
  ScratchDir dir;
  const std::string missing = dir.file("no-such-dir") + "/log.txt";
  EXPECT_FALSE(ZemFile::appendFile(missing, "x"));
  EXPECT_THROW(ZemFile::appendFileX(missing, "x"), IoError);
  const std::string path = dir.file("log.txt");
  ASSERT_TRUE(ZemFile::appendFile(path, "kept\n"));
  FullDisk fullDisk;
  HookGuard guard(&fullDisk);
  try {
    ZemFile::appendFileX(path, "lost\n");
    ADD_FAILURE() << "appendFileX returned";
  } catch (const IoError &e) {
    EXPECT_EQ(std::string(e.what()), std::string(CANNOT_WRITE) + path);
  }
  EXPECT_FALSE(ZemFile::appendFile(path, "lost\n"));
}

TEST(ZemFileRead, MissingFileGivesNothingNotEmptyText) {
  ScratchDir dir;
  EXPECT_EQ(ZemFile::readFile(dir.file("missing")), std::nullopt);
  EXPECT_EQ(ZemFile::readFileBytes(dir.file("missing")), std::nullopt);
  ASSERT_TRUE(ZemFile::writeFile(dir.file("empty"), ""));
  EXPECT_EQ(ZemFile::readFile(dir.file("empty")), std::optional<std::string>(""));
}

TEST(ZemFileRead, FolderGivesNothing) {
  ScratchDir dir;
  EXPECT_EQ(ZemFile::readFile(dir.path().string()), std::nullopt);
}

TEST(ZemFileRead, BytesMatchWhatWasWritten) {
  ScratchDir dir;
  std::string text;
  for (int i = 0; i < 70000; ++i)
    text += static_cast<char>((i * 13) & 0xFF);
  ASSERT_TRUE(ZemFile::writeFile(dir.file("b.bin"), text));
  const auto bytes = ZemFile::readFileBytes(dir.file("b.bin"));
  ASSERT_TRUE(bytes.has_value());
  EXPECT_EQ(std::string(bytes->begin(), bytes->end()), text);
}

TEST(ZemFileDate, MissingFileGivesZero) {
  ScratchDir dir;
  EXPECT_EQ(ZemFile::getModifiedDate(dir.file("missing")), 0);
}

TEST(ZemFileDate, NewFileCarriesTheCurrentTime) {
  ScratchDir dir;
  const std::int64_t before = vantrel::platform::nowMillis();
  ASSERT_TRUE(ZemFile::writeFile(dir.file("now.txt"), "x"));
  const std::int64_t after = vantrel::platform::nowMillis();
  const std::int64_t stamp = ZemFile::getModifiedDate(dir.file("now.txt"));
  // File systems may store coarser times than the clock: allow two seconds either way.
  EXPECT_GE(stamp, before - 2000);
  EXPECT_LE(stamp, after + 2000);
}

TEST(ZemFileDate, AgedFileReportsItsOldTime) {
  ScratchDir dir;
  const std::string path = dir.file("old.txt");
  ASSERT_TRUE(ZemFile::writeFile(path, "x"));
  const std::int64_t fresh = ZemFile::getModifiedDate(path);
  ageFile(path);
  const std::int64_t aged = ZemFile::getModifiedDate(path);
  const std::int64_t fourHundredDays = 400LL * 24 * 3600 * 1000;
  EXPECT_NEAR(static_cast<double>(fresh - aged), static_cast<double>(fourHundredDays), 2000.0);
}
