// Tests of the growable byte buffer: appends and the growth rule.
#include "flashDevice/ByteArray.h"

#include <gtest/gtest.h>

using vantrel::flashDevice::ByteArray;
using vantrel::flashDevice::Bytes;

TEST(ByteArrayCapacity, StartsAtInitialSizeOrTheGivenSize) {
  EXPECT_EQ(ByteArray().capacity(), 16u);
  EXPECT_EQ(ByteArray(100).capacity(), 100u);
  EXPECT_EQ(ByteArray().length(), 0u);
}

TEST(ByteArrayCapacity, SmallBufferRoughlyDoubles) {
  ByteArray buffer; // capacity 16: step 2 x 17 = 34
  buffer.append(Bytes(17, 1));
  EXPECT_EQ(buffer.capacity(), 34u);
  buffer.append(Bytes(20, 2)); // needed 37, step 2 x 35 = 70
  EXPECT_EQ(buffer.capacity(), 70u);
}

TEST(ByteArrayCapacity, LargeBufferGrowsInGrowthLimitSteps) {
  ByteArray buffer(1500); // step capped at 1024
  buffer.append(Bytes(1501, 7));
  EXPECT_EQ(buffer.capacity(), 2048u);
  ByteArray big(2048);
  big.append(Bytes(5000, 7));
  EXPECT_EQ(big.capacity(), 5120u);
}

TEST(ByteArrayCapacity, SizedBufferNeverGrows) {
  ByteArray buffer(64);
  buffer.append(Bytes(32, 1));
  buffer.append(Bytes(32, 2));
  EXPECT_EQ(buffer.capacity(), 64u);
}

TEST(ByteArrayContent, AppendsKeepOrderAcrossGrowth) {
  ByteArray buffer;
  Bytes expected;
  for (int i = 0; i < 300; ++i) {
    const Bytes piece{static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i >> 8)};
    buffer.append(piece);
    expected.insert(expected.end(), piece.begin(), piece.end());
  }
  EXPECT_EQ(buffer.length(), 600u);
  EXPECT_EQ(buffer.getBytes(), expected);
  EXPECT_EQ(buffer.takeBytes(), expected);
  EXPECT_EQ(buffer.length(), 0u);
}

TEST(ByteArrayContent, GetBytesIsACopy) {
  ByteArray buffer;
  buffer.append(Bytes{1, 2, 3});
  Bytes copy = buffer.getBytes();
  copy[0] = 9;
  EXPECT_EQ(buffer.getBytes(), (Bytes{1, 2, 3}));
}

TEST(ByteArrayContent, EmptyAppendChangesNothing) {
  ByteArray buffer;
  buffer.append(Bytes{});
  EXPECT_EQ(buffer.length(), 0u);
  EXPECT_EQ(buffer.capacity(), 16u);
}
