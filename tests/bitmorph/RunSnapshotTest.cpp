// Tests of the before/after file comparison that guards reading and deleting.
#include "bitmorph/RunSnapshot.h"

#include "support/ScratchDir.h"

#include <gtest/gtest.h>

namespace vantrel::bitmorph {
namespace {

using vantrel::testing::ScratchDir;

TEST(RunSnapshot, FileCreatedAfterTheSnapshotIsProduced) {
  ScratchDir dir;
  const std::string path = dir.file("top.rbf");
  RunSnapshot snapshot;
  snapshot.record(path);
  EXPECT_FALSE(snapshot.producedByRun(path));
  vantrel::testing::writeBytes(path, "abc");
  EXPECT_TRUE(snapshot.producedByRun(path));
  EXPECT_TRUE(snapshot.removeIfProduced(path));
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(RunSnapshot, UntouchedOldFileIsNeverProducedOrDeleted) {
  ScratchDir dir;
  const std::string path = dir.file("top.map");
  vantrel::testing::writeBytes(path, "user's own file");
  RunSnapshot snapshot;
  snapshot.record({path});
  EXPECT_FALSE(snapshot.producedByRun(path));
  EXPECT_FALSE(snapshot.removeIfProduced(path));
  EXPECT_EQ(vantrel::testing::readBytes(path), "user's own file");
}

TEST(RunSnapshot, RewrittenOldFileIsProduced) {
  ScratchDir dir;
  const std::string path = dir.file("top.rpd");
  vantrel::testing::writeBytes(path, "old");
  RunSnapshot snapshot;
  snapshot.record(path);
  // Another size: changed whatever the file system's clock granularity.
  vantrel::testing::writeBytes(path, "new!");
  EXPECT_TRUE(snapshot.producedByRun(path));
}

TEST(RunSnapshot, ReplacedByRenameIsProduced) {
  ScratchDir dir;
  const std::string path = dir.file("top.flash");
  vantrel::testing::writeBytes(path, "same");
  RunSnapshot snapshot;
  snapshot.record(path);
  vantrel::testing::writeBytes(dir.file("tmp"), "same");
  std::filesystem::rename(dir.file("tmp"), path);
  EXPECT_TRUE(snapshot.producedByRun(path));
}

TEST(RunSnapshot, UnrecordedNamesAndDirectoriesAreNeverProduced) {
  ScratchDir dir;
  const std::string path = dir.file("other");
  vantrel::testing::writeBytes(path, "x");
  RunSnapshot snapshot;
  EXPECT_FALSE(snapshot.isRecorded(path));
  EXPECT_FALSE(snapshot.producedByRun(path));
  const std::string sub = dir.file("sub.rbf");
  snapshot.record(sub);
  std::filesystem::create_directory(sub);
  EXPECT_FALSE(snapshot.producedByRun(sub));
  EXPECT_FALSE(snapshot.removeIfProduced(sub));
}

TEST(RunSnapshot, FirstRecordOfANameIsKept) {
  ScratchDir dir;
  const std::string path = dir.file("a.cof");
  RunSnapshot snapshot;
  snapshot.record(path);
  vantrel::testing::writeBytes(path, "x");
  snapshot.record(path);
  EXPECT_TRUE(snapshot.producedByRun(path));
}

} // namespace
} // namespace vantrel::bitmorph
