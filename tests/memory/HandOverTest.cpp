// Tests of bytes that move between images without a copy: a block handed over, runs taken
// out of one image and added to another, a file view let go with the last image holding
// it, and images read in more than one block.
#include "TestFiles.h"
#include "memory/BinaryMemory.h"
#include "memory/ConcatinatingMemory.h"
#include "memory/FlashDataMemory.h"
#include "memory/Srec.h"
#include "memory/SrecordMemory.h"
#include "memory/SrecordReader.h"
#include "platform/file.h"
#include "platform/pages.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace vantrel::memory;
using vantrel::memory::test::readBytes;
using vantrel::memory::test::sequence;
using vantrel::memory::test::TempDir;
using vantrel::memory::test::writeBytes;
namespace platform = vantrel::platform;

TEST(HandOver, BlockStaysWhereItLiesUntilTheLastImageLetsGo) {
  Bytes storage = sequence(100000, 3); // large enough to be taken over, not copied
  const Bytes original = storage;
  bool released = false;
  {
    ConcatinatingMemory first(0, 0x7FFFFFFE);
    const Block block{std::shared_ptr<void>(storage.data(), [&released](void *) { released = true; }),
                      storage.data(), storage.size()};
    EXPECT_FALSE(first.add(0x100, block).has_value());
    EXPECT_EQ(first.segment(SegmentKey{0x100})->chunkData(0), storage.data());

    // The bytes from 0x180 on move to another image; the first keeps the ones before.
    ConcatinatingMemory second(0, 0x7FFFFFFE);
    Segment run = first.take(0x180);
    EXPECT_EQ(run.base(), 0x180);
    EXPECT_EQ(run.length(), 100000 - 0x80);
    EXPECT_FALSE(second.add(0x1000, std::move(run)).has_value());
    EXPECT_EQ(run.length(), 0);
    EXPECT_EQ(second.segment(SegmentKey{0x1000})->chunkData(0), storage.data() + 0x80);
    EXPECT_EQ(*second.get(0x1000, 3), Bytes(original.begin() + 0x80, original.begin() + 0x83));
    EXPECT_EQ(first.total(), 0x80);

    // Each image grows into room of its own, never over the other's bytes.
    first.add(0x180, Bytes(64, 0xEE));
    second.add(0x1000 - 16, Bytes(16, 0xDD));
    EXPECT_EQ(storage, original);
    EXPECT_EQ(*first.get(0x100), [&] {
      Bytes b(original.begin(), original.begin() + 0x80);
      b.insert(b.end(), 64, 0xEE);
      return b;
    }());
    first.clear();
    EXPECT_FALSE(released); // the second image still holds part of the block
  }
  EXPECT_TRUE(released);
}

TEST(HandOver, BlockCrossingTheWindowKeepsItsInsideAndCopiesTheOverflow) {
  Bytes storage = sequence(0x30000, 9);
  ConcatinatingMemory m(0x10000, 0x3FFFF);
  const Block block{std::shared_ptr<void>(storage.data(), [](void *) {}), storage.data(), storage.size()};
  const OptionalBytes overflow = m.add(0x8000, block);
  ASSERT_TRUE(overflow.has_value());
  EXPECT_EQ(*overflow, Bytes(storage.begin(), storage.begin() + 0x8000));
  EXPECT_EQ(m.segment(SegmentKey{0})->chunkData(0), storage.data() + 0x8000);
  EXPECT_EQ(m.total(), 0x28000);
  // A small piece is not worth holding a whole block for: it is copied.
  ConcatinatingMemory small(0, 0xFFFF);
  EXPECT_FALSE(small.add(0, Block{block.keeper, storage.data(), 100}).has_value());
  EXPECT_NE(small.segment(SegmentKey{0})->chunkData(0), storage.data());
}

TEST(HandOver, FileViewGoesWithTheLastImageHoldingIt) {
  TempDir dir;
  const std::string path = dir.file("design.rbf");
  const Bytes content = sequence((3u << 20) + 17, 5);
  writeBytes(path, content);
  const std::size_t before = platform::liveFileViews();
  const std::size_t mapped = platform::mappedFilesStayRemovable() ? 1 : 0;
  {
    FlashDataMemory flash(0, 0x7FFFFFFE, "SOF Flash");
    {
      BinaryMemory binary(0, 0x7FFFFFFE, "Address Space");
      binary.read(path);
      EXPECT_EQ(platform::liveFileViews(), before + mapped);
      // Changed where it lies, the image's copy changes, never the file.
      Segment run = binary.take(0);
      EXPECT_TRUE(binary.isEmpty());
      run.overlay(0, Bytes(12, 0));
      EXPECT_FALSE(flash.add(0x20000, std::move(run)).has_value());
    }
    // The flash image holds the bytes now, and with them the view.
    EXPECT_EQ(platform::liveFileViews(), before + mapped);
    Bytes expected = content;
    std::fill(expected.begin(), expected.begin() + 12, 0);
    EXPECT_EQ(*flash.get(0x20000), expected);
    EXPECT_EQ(readBytes(path), content);
  }
  EXPECT_EQ(platform::liveFileViews(), before);
  // Let go: the file can be removed (on Windows not while a view holds it).
  EXPECT_TRUE(platform::removeFile(path));
}

TEST(HandOver, ImageReadInManyBlocksMovesOnWhole) {
  TempDir dir;
  const std::string path = dir.file("big.srec");
  const Bytes bytes = sequence((5u << 20) + 3, 7);
  {
    SrecordMemory source(0, 0x7FFFFFFF, "source");
    source.add(0x400, bytes);
    ASSERT_TRUE(source.write(path));
  }
  SrecordMemory image(0, 0x7FFFFFFF, "in");
  image.read(path);
  ASSERT_EQ(image.getNumSegments(), 1u);
  // The decoded bytes are held in the blocks they were decoded into: several of them.
  EXPECT_GT(image.segment(SegmentKey{0x400})->chunkCount(), 1u);
  BinaryMemory raw(0x400, 0x7FFFFFFF, "out");
  EXPECT_FALSE(raw.add(0x400, image.take(0x400)).has_value());
  EXPECT_TRUE(image.isEmpty());
  ASSERT_TRUE(raw.write(dir.file("big.bin")));
  EXPECT_EQ(readBytes(dir.file("big.bin")), bytes);
}

TEST(HandOver, RecordsJoiningALaterSegmentKeepTheLayoutOfOneByOne) {
  // Records 0x00 and 0x20 after a record at 0x40: one by one, the second joins the first
  // and only touches the segment at 0x40, which stays apart (its records start anew).
  std::string text;
  for (const int addr : {0x40, 0x00, 0x20})
    text += Srec::createData(static_cast<std::uint32_t>(addr), sequence(32, addr)).toString() + "\n";
  SrecordMemory m(0, 0x7FFFFFFF, "m");
  m.readText(text);
  ASSERT_EQ(m.getNumSegments(), 2u);
  EXPECT_EQ(m.getLen(SegmentKey{0}), 0x40);
  EXPECT_EQ(*m.get(0, 0x60), sequence(0x60));

  // Read into two images at once, each gets exactly what it gets alone.
  SrecordMemory low(0, 0x2F, "low"), lowAlone(0, 0x2F, "low");
  SrecordMemory high(0x30, 0x7F, "high"), highAlone(0x30, 0x7F, "high");
  SrecordReader({&low, &high}).readText(text);
  lowAlone.readText(text);
  highAlone.readText(text);
  EXPECT_EQ(*low.get(0), sequence(0x30));
  EXPECT_EQ(*high.get(0x30), sequence(0x30, 0x30));
  EXPECT_EQ(low.getNumSegments(), lowAlone.getNumSegments());
  EXPECT_EQ(high.getNumSegments(), highAlone.getNumSegments());
}
