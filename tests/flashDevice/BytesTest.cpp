// Tests of byte arrays at the size where their storage comes straight from the OS: the
// value semantics must be those of any vector, on both sides of the threshold.
#include "flashDevice/Bytes.h"
#include "platform/pages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <numeric>

using vantrel::flashDevice::Bytes;
using vantrel::platform::LARGE_BLOCK_BYTES;

namespace {

Bytes counting(std::size_t n) {
  Bytes b(n);
  std::iota(b.begin(), b.end(), std::uint8_t{7});
  return b;
}

} // namespace

TEST(PageBlocks, AreZeroedWritableAndReleased) {
  for (std::size_t n : {std::size_t{1}, LARGE_BLOCK_BYTES, 3 * LARGE_BLOCK_BYTES + 5}) {
    auto *p = static_cast<std::uint8_t *>(vantrel::platform::allocatePages(n));
    ASSERT_NE(p, nullptr) << n;
    EXPECT_TRUE(std::all_of(p, p + n, [](std::uint8_t b) { return b == 0; })) << n;
    std::memset(p, 0xA5, n);
    EXPECT_EQ(p[n - 1], 0xA5);
    vantrel::platform::releasePages(p, n);
  }
  vantrel::platform::releasePages(nullptr, 0); // a null block is ignored
}

TEST(LargeBytes, ValueInitialiseCopyCompareAndMoveAcrossTheThreshold) {
  for (std::size_t n : {LARGE_BLOCK_BYTES - 1, LARGE_BLOCK_BYTES, 5 * LARGE_BLOCK_BYTES + 3}) {
    const Bytes zeros(n);
    EXPECT_EQ(std::count(zeros.begin(), zeros.end(), 0), static_cast<std::ptrdiff_t>(n)) << n;
    Bytes a = counting(n);
    Bytes copy = a;
    EXPECT_EQ(copy, a);
    copy[n / 2] ^= 0xFF;
    EXPECT_NE(copy, a);
    const std::uint8_t *storage = a.data();
    Bytes moved = std::move(a);
    EXPECT_EQ(moved.data(), storage); // a move hands over the block, large or small
    EXPECT_EQ(moved[n - 1], static_cast<std::uint8_t>(7 + (n - 1)));
  }
}

TEST(LargeBytes, GrowingAndShrinkingKeepsTheBytesAndZeroesNewOnes) {
  Bytes b = counting(LARGE_BLOCK_BYTES / 2);
  b.resize(3 * LARGE_BLOCK_BYTES); // crosses into page blocks
  EXPECT_EQ(b[LARGE_BLOCK_BYTES / 2 - 1], static_cast<std::uint8_t>(7 + LARGE_BLOCK_BYTES / 2 - 1));
  EXPECT_EQ(b[LARGE_BLOCK_BYTES / 2], 0);
  EXPECT_EQ(b.back(), 0);
  b.resize(10);
  b.shrink_to_fit(); // back to the heap
  b.resize(2 * LARGE_BLOCK_BYTES, 0x5A);
  EXPECT_EQ(b[9], 16);
  EXPECT_EQ(b[10], 0x5A);
  for (int i = 0; i < 100; ++i)
    b.push_back(static_cast<std::uint8_t>(i));
  EXPECT_EQ(b.back(), 99);
  EXPECT_EQ(b.size(), 2 * LARGE_BLOCK_BYTES + 100);
}
