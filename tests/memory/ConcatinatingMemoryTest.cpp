// Tests of the image add rules (clipping, joining, merging bridged segments) and reads.
#include "memory/ConcatinatingMemory.h"
#include "TestFiles.h"
#include "memory/MemoryMessages.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace vantrel::memory;
using vantrel::memory::test::messageOf;
using vantrel::memory::test::sequence;
namespace msg = vantrel::memory::messages;

namespace {

std::vector<std::int64_t> keysOf(const Memory &m) {
  std::vector<std::int64_t> keys;
  for (SegmentKey k : m.iterator())
    keys.push_back(k.value);
  return keys;
}

} // namespace

TEST(ConcatinatingAddClip, FrontCutReturnsTheBytesBeforeTheWindow) {
  ConcatinatingMemory m(100, 200);
  const Bytes data = sequence(50);
  const OptionalBytes overflow = m.add(80, data);
  ASSERT_TRUE(overflow.has_value());
  EXPECT_EQ(*overflow, sequence(20));
  EXPECT_EQ(*m.get(100, 1000), sequence(30, 20));
  EXPECT_EQ(keysOf(m), (std::vector<std::int64_t>{0}));
}

TEST(ConcatinatingAddClip, BackCutReturnsTheBytesAfterTheWindow) {
  ConcatinatingMemory m(0, 0x7FFFFFFE);
  const OptionalBytes overflow = m.add(0x7FFFFFFE - 6, sequence(16));
  ASSERT_TRUE(overflow.has_value());
  EXPECT_EQ(*overflow, sequence(9, 7));
  EXPECT_EQ(*m.get(0x7FFFFFFE - 6), sequence(7));
}

TEST(ConcatinatingAddClip, BothEndsCutStoresTheWindowAndReturnsNull) {
  ConcatinatingMemory m(100, 200);
  EXPECT_FALSE(m.add(60, sequence(150)).has_value());
  EXPECT_EQ(*m.get(100), sequence(101, 40));
  EXPECT_EQ(m.total(), 101);
}

TEST(ConcatinatingAddClip, OutsideOrEmptyStoresNothingAndReturnsNull) {
  ConcatinatingMemory m(0, 0x7FFFFFFE);
  EXPECT_FALSE(m.add(0x80000000LL, sequence(16)).has_value());
  EXPECT_FALSE(m.add(5, Bytes{}).has_value());
  EXPECT_TRUE(m.isEmpty());
}

TEST(ConcatinatingAddClip, NullIsAnError) {
  ConcatinatingMemory m(0, 100);
  EXPECT_EQ(messageOf<std::invalid_argument>([&] { m.add(0, OptionalBytes{}); }), msg::CANNOT_ADD_EMPTY);
}

TEST(ConcatinatingAddJoin, AdjacentDataJoinsButSegmentsAreNotMerged) {
  ConcatinatingMemory m(0, 1000);
  m.add(0, sequence(32));
  m.add(64, sequence(32, 64));
  m.add(32, sequence(32, 32));
  EXPECT_EQ(keysOf(m), (std::vector<std::int64_t>{0, 64}));
  EXPECT_EQ(m.getLen(SegmentKey{0}), 64);
  EXPECT_EQ(m.getLen(SegmentKey{64}), 32);
  EXPECT_EQ(*m.get(0, 96), sequence(96));
}

TEST(ConcatinatingAddJoin, PrependedSegmentIsRefiledUnderItsNewKey) {
  ConcatinatingMemory m(0, 1000);
  m.add(16, sequence(16, 16));
  m.add(0, sequence(16));
  EXPECT_EQ(keysOf(m), (std::vector<std::int64_t>{0}));
  EXPECT_EQ(*m.get(SegmentKey{0}), sequence(32));
}

TEST(ConcatinatingAddJoin, LongerDataAtTheSameAddressReplacesTheSegment) {
  ConcatinatingMemory m(0, 1000);
  m.add(40, Bytes(8, 0));
  m.add(40, sequence(20, 1));
  EXPECT_EQ(keysOf(m), (std::vector<std::int64_t>{40}));
  EXPECT_EQ(*m.get(SegmentKey{40}), sequence(20, 1));
}

TEST(ConcatinatingAddJoin, OverwritingPartOfASegmentReplacesJustThoseBytes) {
  ConcatinatingMemory m(0, 1000);
  m.add(0, sequence(16));
  m.add(4, Bytes{0xF0, 0xF1, 0xF2, 0xF3});
  Bytes expected = sequence(16);
  for (int i = 0; i < 4; ++i)
    expected[4 + i] = static_cast<std::uint8_t>(0xF0 + i);
  EXPECT_EQ(*m.get(0), expected);
}

TEST(ConcatinatingAddJoin, DataBridgingSegmentsMergesThem) {
  ConcatinatingMemory m(0, 1000);
  m.add(0, Bytes(10, 1));
  m.add(20, Bytes(10, 2));
  m.add(40, Bytes(10, 3));
  m.add(5, Bytes(40, 9)); // 5..44 overlaps all three
  EXPECT_EQ(keysOf(m), (std::vector<std::int64_t>{0}));
  Bytes expected(50, 9);
  std::fill(expected.begin(), expected.begin() + 5, 1);
  std::fill(expected.begin() + 45, expected.end(), 3);
  EXPECT_EQ(*m.get(0), expected);
}

TEST(ConcatinatingAddJoin, DataPrecedingOneSegmentAndOverlappingTheNextMergesThem) {
  ConcatinatingMemory m(0, 1000);
  m.add(0, Bytes(32, 1));
  m.add(32, Bytes(32, 2)); // joins: one segment 0..63
  m.add(100, Bytes(8, 3));
  m.add(64, Bytes(40, 4)); // joins 0..63 and overlaps 100..107
  EXPECT_EQ(keysOf(m), (std::vector<std::int64_t>{0}));
  EXPECT_EQ(m.total(), 108);
  EXPECT_EQ((*m.get(0))[103], 4);
  EXPECT_EQ((*m.get(0))[104], 3);
}

TEST(SegmentedAddRule, DataNotWhollyInsideIsReturnedUnchanged) {
  SegmentedMemory m(100, 200);
  const Bytes data = sequence(50);
  const OptionalBytes refused = m.add(80, data);
  ASSERT_TRUE(refused.has_value());
  EXPECT_EQ(*refused, data);
  EXPECT_TRUE(m.isEmpty());
  EXPECT_EQ(*m.add(190, sequence(20)), sequence(20));
}

TEST(SegmentedAddRule, AdjacentDataDoesNotJoin) {
  SegmentedMemory m(0, 1000);
  EXPECT_FALSE(m.add(0, sequence(16)).has_value());
  EXPECT_FALSE(m.add(16, sequence(16, 16)).has_value());
  EXPECT_EQ(keysOf(m), (std::vector<std::int64_t>{0, 16}));
  m.add(8, Bytes(4, 0xAA)); // overlaps the first only
  EXPECT_EQ(m.getNumSegments(), 2u);
  m.add(12, Bytes(8, 0xBB)); // overlaps both: they merge
  EXPECT_EQ(keysOf(m), (std::vector<std::int64_t>{0}));
  EXPECT_EQ((*m.get(0)).size(), 32u);
}

TEST(SegmentedAddRule, OverlapAtTheFrontRefilesTheSegment) {
  SegmentedMemory m(0, 1000);
  m.add(10, sequence(10));
  m.add(5, Bytes(10, 0xCC));
  EXPECT_EQ(keysOf(m), (std::vector<std::int64_t>{5}));
  EXPECT_EQ(m.getAddr(SegmentKey{5}), 5);
  EXPECT_EQ(m.getLen(SegmentKey{5}), 15);
}

TEST(MemoryRead, GetStopsAtGapsAndNeverInventsBytes) {
  ConcatinatingMemory m(0, 1000);
  m.add(0, sequence(10));
  m.add(20, sequence(10, 20));
  EXPECT_EQ(*m.get(5, 100), sequence(5, 5));
  EXPECT_FALSE(m.get(12, 4).has_value());
  EXPECT_FALSE(m.get(0, 0).has_value());
  EXPECT_EQ(*m.get(22), sequence(8, 22));
}

TEST(MemoryRead, GetByKeyContinuesIntoATouchingSegment) {
  ConcatinatingMemory m(0, 1000);
  m.add(0, sequence(32));
  m.add(64, sequence(32, 64));
  m.add(32, sequence(32, 32));
  EXPECT_EQ(*m.get(SegmentKey{0}, 80), sequence(80));
  EXPECT_EQ(*m.get(SegmentKey{0}), sequence(64));
  EXPECT_FALSE(m.get(SegmentKey{5}).has_value());
  EXPECT_FALSE(m.get(SegmentKey{5}, 3).has_value());
}

TEST(MemoryHandOver, RunsOfARangeKeepItsGapsAndLeaveTheRest) {
  ConcatinatingMemory m(0x1000, 0x1FFF);
  m.add(0x1000, sequence(16));
  m.add(0x1020, sequence(8, 0x20));
  m.add(0x1010, sequence(16, 0x10)); // joins the first: 0x1000..0x101F touches 0x1020..0x1027
  m.add(0x1040, sequence(16, 0x40)); // after a gap
  const auto runs = m.takeRuns(0x1004, 0x1042);
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_EQ(runs[0].base(), 0x1004);
  EXPECT_EQ(*runs[0].get(), sequence(28, 4));
  EXPECT_EQ(runs[1].base(), 0x1020);
  EXPECT_EQ(*runs[1].get(), sequence(8, 0x20));
  EXPECT_EQ(runs[2].base(), 0x1040);
  EXPECT_EQ(*runs[2].get(), sequence(3, 0x40)); // both ends inclusive
  // What lay outside the range stays, under its own keys.
  EXPECT_EQ(m.total(), 4 + 13);
  EXPECT_EQ(*m.get(SegmentKey{0}), sequence(4));
  EXPECT_EQ(*m.get(SegmentKey{0x43}), sequence(13, 0x43));
  // One byte; a range inside a gap; a range reaching past the window.
  ASSERT_EQ(m.takeRuns(0x104F, 0x104F).size(), 1u);
  EXPECT_TRUE(m.takeRuns(0x1028, 0x103F).empty());
  EXPECT_EQ(m.takeRuns(0, 0x7FFFFFFF).size(), 2u);
  EXPECT_TRUE(m.isEmpty());
  EXPECT_EQ(messageOf<std::invalid_argument>([&] { m.takeRuns(5, 4); }), msg::ADDRESS_AND_LENGTH_POSITIVE);
  EXPECT_EQ(messageOf<std::invalid_argument>([&] { m.takeRuns(-1, 4); }), msg::ADDRESS_AND_LENGTH_POSITIVE);
}

TEST(MemoryRead, WindowWithANonZeroBase) {
  ConcatinatingMemory m(0x1000, 0x1FFF);
  m.add(0x1010, sequence(4));
  EXPECT_EQ(keysOf(m), (std::vector<std::int64_t>{0x10}));
  EXPECT_EQ(m.getAddr(SegmentKey{0x10}), 0x1010);
  EXPECT_TRUE(m.has(0x1013));
  EXPECT_FALSE(m.has(0x10));
  EXPECT_EQ(*m.get(0x1012), sequence(2, 2));
}

TEST(MemoryQueries, HasAndIntersection) {
  ConcatinatingMemory m(100, 200);
  m.add(150, Bytes(10, 0)); // 150..159
  EXPECT_TRUE(m.has(150));
  EXPECT_FALSE(m.has(160));
  EXPECT_TRUE(m.has(140, 11));
  EXPECT_FALSE(m.has(140, 10));
  EXPECT_FALSE(m.has(155, 0));
  EXPECT_EQ(m.intersection(80, 50), 30);
  EXPECT_EQ(m.intersection(190, 50), 11);
  EXPECT_EQ(m.intersection(60, 150), 101);
  EXPECT_EQ(m.intersection(201, 5), 0);
  EXPECT_EQ(m.intersection(0, 100), 0);
  EXPECT_EQ(m.intersection(INT64_MAX - 1, 10), 0);
  EXPECT_TRUE(m.inAddressSpace(100, 101));
  EXPECT_FALSE(m.inAddressSpace(100, 102));
  EXPECT_FALSE(m.inAddressSpace(99, 2));
}

TEST(MemoryRemove, WholeSegmentsOnly) {
  ConcatinatingMemory m(0, 1000);
  m.add(10, Bytes(10, 1));
  m.add(40, Bytes(10, 2));
  EXPECT_FALSE(m.remove(15));
  EXPECT_FALSE(m.remove(15, 2));
  EXPECT_FALSE(m.remove(SegmentKey{10}, 2));
  EXPECT_TRUE(m.remove(10));
  EXPECT_FALSE(m.remove(10));
  EXPECT_TRUE(m.remove(SegmentKey{40}));
  EXPECT_FALSE(m.remove(SegmentKey{40}));
  EXPECT_TRUE(m.isEmpty());
}

TEST(MemoryFill, PatternAlignedToAbsoluteAddresses) {
  ConcatinatingMemory m(0, 1000);
  EXPECT_TRUE(m.fill(6, 6, Bytes{1, 2, 3, 4}));
  EXPECT_EQ(*m.get(6), (Bytes{3, 4, 1, 2, 3, 4}));
}

TEST(MemoryFill, RangeHoldingDataIsRefused) {
  ConcatinatingMemory m(0, 1000);
  m.add(20, Bytes{7});
  EXPECT_FALSE(m.fill(10, 11, Bytes{0xFF}));
  EXPECT_EQ(m.total(), 1);
  EXPECT_TRUE(m.fill(10, 10, Bytes{0xFF})); // touches, does not overlap
  EXPECT_EQ(*m.get(10), (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 7}));
}

TEST(MemoryFill, WholeWindowAndOverflow) {
  ConcatinatingMemory m(10, 19);
  EXPECT_TRUE(m.fill(Bytes{0xAB}));
  EXPECT_EQ(*m.get(10), Bytes(10, 0xAB));
  ConcatinatingMemory n(10, 19);
  EXPECT_FALSE(n.fill(15, 10, Bytes{1})); // sticks out: reported as a failure
}

TEST(MemoryCopy, AddsEverySegmentAtItsAddress) {
  ConcatinatingMemory from(0, 1000);
  from.add(10, sequence(5));
  from.add(100, sequence(3, 50));
  ConcatinatingMemory to(50, 2000);
  EXPECT_TRUE(to.copy(&from));
  EXPECT_FALSE(to.copy(nullptr));
  EXPECT_FALSE(to.has(10)); // outside the window of to
  EXPECT_EQ(*to.get(100), sequence(3, 50));
}

TEST(MemoryText, ToStringInLowerCaseHex) {
  ConcatinatingMemory m(0, 0x7FFFFFFE);
  EXPECT_EQ(m.toString(), "base:0x0 end:0x7ffffffe");
  m.add(0, Bytes(0x400, 0));
  EXPECT_EQ(m.toString(), "base:0x0 end:0x7ffffffe total:0x400");
}

TEST(MemoryArguments, EveryCheckHasItsMessage) {
  EXPECT_EQ(messageOf<std::invalid_argument>([] { ConcatinatingMemory(-1, 10); }),
            msg::MEMORY_RANGE_POSITIVE);
  EXPECT_EQ(messageOf<std::invalid_argument>([] { ConcatinatingMemory(0, -10); }),
            msg::MEMORY_RANGE_POSITIVE);
  EXPECT_EQ(messageOf<std::invalid_argument>([] { ConcatinatingMemory(5, 5); }), msg::MEMORY_SIZE_POSITIVE);
  EXPECT_EQ(messageOf<std::invalid_argument>([] { ConcatinatingMemory(6, 5); }), msg::MEMORY_SIZE_POSITIVE);
  ConcatinatingMemory m(0, 100);
  m.add(0, Bytes{1});
  EXPECT_EQ(messageOf<std::invalid_argument>([&] { m.get(-1); }), msg::ADDRESS_POSITIVE);
  EXPECT_EQ(messageOf<std::invalid_argument>([&] { m.has(-1); }), msg::ADDRESS_POSITIVE);
  EXPECT_EQ(messageOf<std::invalid_argument>([&] { m.remove(-1); }), msg::ADDRESS_POSITIVE);
  EXPECT_EQ(messageOf<std::invalid_argument>([&] { m.get(-1, 1); }), msg::ADDRESS_AND_LENGTH_POSITIVE);
  EXPECT_EQ(messageOf<std::invalid_argument>([&] { m.get(0, -1); }), msg::ADDRESS_AND_LENGTH_POSITIVE);
  EXPECT_EQ(messageOf<std::invalid_argument>([&] { m.has(0, -1); }), msg::ADDRESS_AND_LENGTH_POSITIVE);
  EXPECT_EQ(messageOf<std::invalid_argument>([&] { m.fill(-1, 1, Bytes{1}); }),
            msg::ADDRESS_AND_LENGTH_POSITIVE);
  EXPECT_EQ(messageOf<std::invalid_argument>([&] { m.inAddressSpace(0, -1); }),
            msg::ADDRESS_AND_LENGTH_POSITIVE);
  EXPECT_EQ(messageOf<std::invalid_argument>([&] { m.remove(0, -1); }), msg::ADDRESS_AND_LENGTH_POSITIVE);
  EXPECT_EQ(messageOf<std::invalid_argument>([&] { m.get(SegmentKey{0}, -1); }), msg::LENGTH_POSITIVE);
  EXPECT_EQ(messageOf<std::invalid_argument>([&] { m.intersection(0, -1); }), msg::LENGTH_POSITIVE);
  EXPECT_EQ(messageOf<std::invalid_argument>([&] { m.remove(SegmentKey{0}, -1); }), msg::LENGTH_POSITIVE);
  EXPECT_EQ(messageOf<std::invalid_argument>([&] { m.get(0, 2147483648LL); }), msg::LENGTH_UNSUPPORTED);
  EXPECT_EQ(messageOf<std::invalid_argument>([&] { m.get(SegmentKey{0}, 2147483648LL); }),
            msg::LENGTH_UNSUPPORTED);
  EXPECT_EQ(messageOf<std::invalid_argument>([&] { m.fill(0, 1, Bytes{}); }), msg::PATTERN_EMPTY);
  EXPECT_EQ(messageOf<std::runtime_error>([&] { m.getAddr(SegmentKey{7}); }), msg::SEGMENT_KEY_MISMATCH);
  EXPECT_EQ(messageOf<std::runtime_error>([&] { m.getLen(SegmentKey{7}); }), msg::SEGMENT_KEY_MISMATCH);
  EXPECT_EQ(*m.get(0), Bytes{1}); // failed checks change nothing
}
