// The all-or-nothing output set and whole-file reads.
#include <gtest/gtest.h>

#include <filesystem>

#include "FileIo.h"
#include "Messages.h"
#include "TestSupport.h"

namespace vantrel::suite {
namespace {

using namespace testing;

TEST(OutputSet, WritesEveryOutputAndReplacesOldOnes) {
  ScratchDir dir;
  writeFile("b.map", std::string("old"));
  OutputSet set;
  set.addBinary("a.bin", {0x0A, 0x0D, 0x00});
  set.addText("b.map", "x\ny\n");
  const Status done = set.commit();
  ASSERT_TRUE(done.ok()) << done.error();
  EXPECT_EQ(readFile("a.bin"), std::string("\x0A\x0D\x00", 3));
  EXPECT_EQ(unixLines(readFile("b.map")), "x\ny\n");
  EXPECT_EQ(dir.list(), (std::vector<std::string>{"a.bin", "b.map"}));
}

TEST(OutputSet, OneUnwritableOutputLeavesNone) {
  ScratchDir dir;
  OutputSet set;
  set.addBinary("a.bin", {1});
  set.addText("nodir/b.map", "x\n");
  const Status done = set.commit();
  ASSERT_FALSE(done.ok()) << "commit succeeded";
  EXPECT_EQ(done.error(), std::string(msg::CANNOT_WRITE) + "nodir/b.map");
  EXPECT_TRUE(dir.list().empty());
}

TEST(OutputSet, AFolderInTheWayIsNotReplaced) {
  ScratchDir dir;
  std::filesystem::create_directory("out.rbf");
  writeFile("out.rbf/keep", std::string("k"));
  OutputSet set;
  set.addBinary("first.bin", {1});
  set.addBinary("out.rbf", {2});
  const Status done = set.commit();
  EXPECT_FALSE(done.ok());
  EXPECT_EQ(done.error(), std::string(msg::CANNOT_WRITE) + "out.rbf");
  EXPECT_EQ(dir.list(), std::vector<std::string>{"out.rbf"});
  EXPECT_EQ(readFile("out.rbf/keep"), "k");
}

TEST(ReadFileBytes, MissingFileAndFolder) {
  ScratchDir dir;
  EXPECT_FALSE(readFileBytes("none").has_value());
  std::filesystem::create_directory("d");
  EXPECT_FALSE(readFileBytes("d").has_value());
  writeFile("f", std::string("a\r\nb", 4));
  EXPECT_EQ(readFileBytes("f"), std::string("a\r\nb", 4));
}

} // namespace
} // namespace vantrel::suite
