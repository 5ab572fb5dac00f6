// Tests of one run of bytes: joins, overlays, reads and argument checks.
#include "memory/Segment.h"
#include "TestFiles.h"
#include "memory/MemoryMessages.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace vantrel::memory;
using vantrel::memory::test::messageOf;
using vantrel::memory::test::sequence;
namespace msg = vantrel::memory::messages;

TEST(SegmentJoin, AppendAndPrependGrowTheRun) {
  Segment s(10, Bytes{1, 2});
  EXPECT_TRUE(s.add(12, Bytes{3, 4}));
  EXPECT_TRUE(s.add(8, Bytes{9, 8}));
  EXPECT_EQ(s.base(), 8);
  EXPECT_EQ(s.length(), 6);
  EXPECT_EQ(s.end(), 13);
  EXPECT_EQ(*s.get(), (Bytes{9, 8, 1, 2, 3, 4}));
}

TEST(SegmentJoin, DataThatNeitherTouchesNorOverlapsIsRefused) {
  Segment s(10, Bytes{1, 2});
  EXPECT_FALSE(s.add(13, Bytes{5}));
  EXPECT_FALSE(s.add(5, Bytes{5, 6, 7, 8}));
  EXPECT_EQ(*s.get(), (Bytes{1, 2}));
}

TEST(SegmentJoin, ManyShortAppendsStayInFewChunks) {
  Segment s(0, sequence(32));
  Bytes expected = sequence(32);
  for (int i = 1; i < 4096; ++i) {
    const Bytes piece = sequence(32, i);
    s.append(piece);
    expected.insert(expected.end(), piece.begin(), piece.end());
  }
  EXPECT_EQ(s.length(), 4096 * 32);
  EXPECT_LT(s.chunkCount(), 20u);
  EXPECT_EQ(*s.get(), expected);
}

TEST(SegmentJoin, ManyShortPrependsStayInFewChunks) {
  Segment s(1 << 20, sequence(16));
  Bytes expected = sequence(16);
  for (int i = 1; i < 2048; ++i) {
    const Bytes piece = sequence(16, 3 * i);
    s.prepend(piece);
    expected.insert(expected.begin(), piece.begin(), piece.end());
  }
  EXPECT_EQ(s.base(), (1 << 20) - 2047 * 16);
  EXPECT_LT(s.chunkCount(), 20u);
  EXPECT_EQ(*s.get(), expected);
}

TEST(SegmentOverlay, InsideReplacesJustThoseBytes) {
  Segment s(0, sequence(16));
  s.overlay(4, Bytes{0xA, 0xB, 0xC, 0xD});
  Bytes expected = sequence(16);
  expected[4] = 0xA;
  expected[5] = 0xB;
  expected[6] = 0xC;
  expected[7] = 0xD;
  EXPECT_EQ(*s.get(), expected);
}

TEST(SegmentOverlay, InsideAcrossChunksWritesInPlace) {
  Segment s(0, Bytes{1, 2, 3});
  s.append(Bytes{4, 5, 6});
  s.append(Bytes(100, 7));
  s.overlay(2, Bytes{0xE0, 0xE1, 0xE2, 0xE3});
  Bytes expected(106, 7);
  const Bytes head{1, 2, 0xE0, 0xE1, 0xE2, 0xE3};
  std::copy(head.begin(), head.end(), expected.begin());
  EXPECT_EQ(*s.get(), expected);
}

TEST(SegmentOverlay, CoversReplacesTheRun) {
  Segment s(10, Bytes(8, 0));
  s.overlay(10, sequence(12));
  EXPECT_EQ(s.base(), 10);
  EXPECT_EQ(*s.get(), sequence(12));
  s.overlay(5, sequence(20, 100));
  EXPECT_EQ(s.base(), 5);
  EXPECT_EQ(*s.get(), sequence(20, 100));
}

TEST(SegmentOverlay, FrontAndBackExtendTheRun) {
  Segment s(10, Bytes(4, 0));   // 10..13
  s.overlay(8, Bytes{1, 2, 3}); // front: 8..10
  EXPECT_EQ(s.base(), 8);
  EXPECT_EQ(*s.get(), (Bytes{1, 2, 3, 0, 0, 0}));
  s.overlay(12, Bytes{7, 8, 9, 10}); // back: 12..15
  EXPECT_EQ(*s.get(), (Bytes{1, 2, 3, 0, 7, 8, 9, 10}));
}

TEST(SegmentOverlay, DataOutsideTheRunIsAnError) {
  Segment s(10, Bytes(4, 0));
  EXPECT_EQ(messageOf<std::invalid_argument>([&] { s.overlay(20, Bytes{1}); }), msg::DATA_DOESNT_OVERLAY);
  EXPECT_EQ(messageOf<std::invalid_argument>([&] { s.overlay(14, Bytes{1}); }), msg::DATA_DOESNT_OVERLAY);
}

TEST(SegmentRead, GetIsCutAtTheRunsEnd) {
  Segment s(100, sequence(10));
  EXPECT_EQ(*s.get(105, 100), sequence(5, 5));
  EXPECT_EQ(*s.get(3), sequence(3));
  EXPECT_EQ(*s.get(90, 2), sequence(2)); // not below the base
  EXPECT_FALSE(s.get(110, 1).has_value());
  EXPECT_TRUE(s.get(100, 0)->empty());
}

TEST(SegmentRead, GetIsACopy) {
  Segment s(0, Bytes{1, 2, 3});
  Bytes copy = *s.get();
  copy[0] = 42;
  EXPECT_EQ(*s.get(), (Bytes{1, 2, 3}));
}

TEST(SegmentQueries, PrecedesSucceedsHas) {
  Segment s(10, Bytes(5, 0)); // 10..14
  EXPECT_TRUE(s.precedes(15));
  EXPECT_FALSE(s.precedes(14));
  EXPECT_TRUE(s.succeeds(7, 3));
  EXPECT_FALSE(s.succeeds(7, 4));
  EXPECT_TRUE(s.has(14));
  EXPECT_FALSE(s.has(15));
  EXPECT_TRUE(s.has(5, 6));
  EXPECT_FALSE(s.has(5, 5));
  EXPECT_FALSE(s.has(12, 0));
}

TEST(SegmentQueries, ClearEmptiesTheRun) {
  Segment s(3, Bytes(5, 1));
  s.clear();
  EXPECT_EQ(s.length(), 0);
  EXPECT_EQ(s.end(), -1);
}

TEST(SegmentArguments, EveryCheckHasItsMessage) {
  EXPECT_EQ(messageOf<std::invalid_argument>([] { Segment(-1, Bytes{1}); }), msg::SEGMENT_BASE_POSITIVE);
  EXPECT_EQ(messageOf<std::invalid_argument>([] { Segment(0, OptionalBytes{}); }), msg::SEGMENT_WITHOUT_DATA);
  Segment s(10, Bytes(5, 0));
  EXPECT_EQ(messageOf<std::invalid_argument>([&] { s.add(-1, Bytes{1}); }), msg::ADDRESS_NOT_NEGATIVE);
  EXPECT_EQ(messageOf<std::invalid_argument>([&] { s.add(15, OptionalBytes{}); }), msg::DATA_NOT_NULL);
  EXPECT_EQ(messageOf<std::invalid_argument>([&] { s.overlay(-1, Bytes{1}); }), msg::ADDRESS_NOT_NEGATIVE);
  EXPECT_EQ(messageOf<std::invalid_argument>([&] { s.precedes(-1); }), msg::ADDRESS_NOT_NEGATIVE);
  EXPECT_EQ(messageOf<std::invalid_argument>([&] { s.has(0, -1); }), msg::LENGTH_POSITIVE);
  EXPECT_EQ(messageOf<std::invalid_argument>([&] { s.succeeds(-1, 1); }), msg::ADDRESS_AND_LENGTH_POSITIVE);
  EXPECT_EQ(messageOf<std::invalid_argument>([&] { s.succeeds(1, -1); }), msg::ADDRESS_AND_LENGTH_POSITIVE);
  EXPECT_EQ(*s.get(), Bytes(5, 0)); // failed checks change nothing
}
