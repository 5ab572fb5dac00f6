// Tests of raw binary images: loading at the window's start, every read failure, writing.
#include "memory/BinaryMemory.h"
#include "TestFiles.h"
#include "memory/MemoryMessages.h"
#include "memory/RWMemoryException.h"
#include "platform/file.h"

#include <gtest/gtest.h>

using namespace vantrel::memory;
using namespace vantrel::memory::test;
namespace msg = vantrel::memory::messages;

namespace {

class FailingWrites : public vantrel::platform::IoFaultHook {
public:
  FailingWrites() { vantrel::platform::setIoFaultHook(this); }
  ~FailingWrites() override { vantrel::platform::setIoFaultHook(nullptr); }
  bool allowWrite(const std::string &, std::size_t) override { return false; }
};

} // namespace

TEST(BinaryRead, SmallFileIsOneSegmentAtTheBase) {
  TempDir dir;
  writeBytes(dir.file("five.rbf"), sequence(5, 1));
  BinaryMemory m(0, 0x7FFFFFFE, "Address Space");
  EXPECT_EQ(&m.read(dir.file("five.rbf")), &m);
  EXPECT_EQ(m.getNumSegments(), 1u);
  EXPECT_EQ(*m.get(0), sequence(5, 1));
  EXPECT_EQ(*m.get(0, 1024), sequence(5, 1));
  EXPECT_FALSE(m.isEmpty());
}

TEST(BinaryRead, FileFillingAWindowExactly) {
  TempDir dir;
  writeBytes(dir.file("16.bin"), sequence(16));
  BinaryMemory m(0x10, 0x1F, "w");
  m.read(dir.file("16.bin"));
  EXPECT_EQ(*m.get(0x10), sequence(16));
  writeBytes(dir.file("17.bin"), sequence(17));
  BinaryMemory n(0x10, 0x1F, "w");
  EXPECT_EQ(messageOf<RWMemoryException>([&] { n.read(dir.file("17.bin")); }),
            "File: " + dir.file("17.bin") + " too large, exiting");
  EXPECT_TRUE(n.isEmpty());
}

TEST(BinaryRead, MissingOrEmptyFileIsNotFound) {
  TempDir dir;
  writeBytes(dir.file("zero.rbf"), Bytes{});
  BinaryMemory m(0, 0x7FFFFFFE, "a");
  EXPECT_EQ(messageOf<RWMemoryException>([&] { m.read(dir.file("zero.rbf")); }),
            "File: " + dir.file("zero.rbf") + " not found, exiting");
  EXPECT_EQ(messageOf<RWMemoryException>([&] { m.read(dir.file("absent.rbf")); }),
            "File: " + dir.file("absent.rbf") + " not found, exiting");
}

TEST(BinaryRead, OffsetLoadsTheBytesThatFollowIt) {
  TempDir dir;
  writeBytes(dir.file("o.bin"), sequence(10));
  BinaryMemory m(0x100, 0x1FF, "o");
  m.read(dir.file("o.bin"), 4);
  EXPECT_FALSE(m.has(0x100));
  EXPECT_EQ(*m.get(0x104), sequence(6, 4));
  BinaryMemory n(0x100, 0x1FF, "n");
  n.read(dir.file("o.bin"), 10); // nothing follows the end
  EXPECT_TRUE(n.isEmpty());
}

TEST(BinaryRead, BadOffsets) {
  TempDir dir;
  writeBytes(dir.file("o.bin"), sequence(10));
  BinaryMemory m(0, 0xFFFF, "o");
  EXPECT_EQ(messageOf<std::invalid_argument>([&] { m.read(dir.file("o.bin"), -1); }), msg::OFFSET_POSITIVE);
  EXPECT_EQ(messageOf<std::invalid_argument>([&] { m.read(dir.file("o.bin"), 11); }),
            msg::OFFSET_EXCEEDS_FILE + dir.file("o.bin"));
  EXPECT_TRUE(m.isEmpty());
}

TEST(BinaryRead, ReadJoinsBytesAlreadyHeld) {
  TempDir dir;
  writeBytes(dir.file("a.bin"), sequence(4));
  BinaryMemory m(0, 0xFF, "j");
  m.add(4, Bytes{9});
  m.read(dir.file("a.bin"));
  EXPECT_EQ(*m.get(0), (Bytes{0, 1, 2, 3, 9}));
}

TEST(BinaryRead, NoHeaderNoStart) {
  BinaryMemory m(0, 0xFF, "raw");
  m.setHeader(std::string("x"));
  m.setStart(5);
  EXPECT_FALSE(m.getHeader().has_value());
  EXPECT_EQ(m.getStart(), 0);
  EXPECT_FALSE(m.hasStart());
  EXPECT_EQ(m.getName(), "raw");
  EXPECT_EQ(m.toString(), "raw: base:0x0 end:0xff");
}

TEST(BinaryWrite, GapsAreFilledWithFF) {
  TempDir dir;
  BinaryMemory m(0, 0x7FFFFFFE, "g");
  m.add(0x10, Bytes{0xA1, 0xA2});
  m.add(0x13, Bytes{0xB1});
  ASSERT_TRUE(m.write(dir.file("g.bin")));
  Bytes expected(20, 0xFF);
  expected[16] = 0xA1;
  expected[17] = 0xA2;
  expected[19] = 0xB1;
  EXPECT_EQ(readBytes(dir.file("g.bin")), expected);
}

TEST(BinaryWrite, EmptyImageGivesAnEmptyFile) {
  TempDir dir;
  BinaryMemory m(0, 0xFF, "e");
  ASSERT_TRUE(m.write(dir.file("e.bin")));
  EXPECT_TRUE(readBytes(dir.file("e.bin")).empty());
}

TEST(BinaryWrite, LargeImageRoundTrips) {
  TempDir dir;
  const Bytes bytes = sequence((3u << 20) + 5, 7);
  writeBytes(dir.file("in.bin"), bytes);
  BinaryMemory m(0, 0x7FFFFFFE, "big");
  m.read(dir.file("in.bin"));
  m.add(0x400000, Bytes{1});
  ASSERT_TRUE(m.write(dir.file("out.bin")));
  Bytes expected = bytes;
  expected.resize(0x400000, 0xFF);
  expected.push_back(1);
  EXPECT_TRUE(readBytes(dir.file("out.bin")) == expected);
}

TEST(BinaryWrite, FailuresReturnFalseAndLeaveNoFile) {
  TempDir dir;
  BinaryMemory m(0, 0xFF, "f");
  m.add(0, Bytes{1});
  EXPECT_FALSE(m.write(dir.file("missing/out.bin")));
  {
    FailingWrites disk;
    EXPECT_FALSE(m.write(dir.file("full.bin")));
  }
  EXPECT_TRUE(dir.entries().empty());
}
