// Randomized differential test: add/get/remove sequences against a plain byte-map model.
#include "memory/ConcatinatingMemory.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

using namespace vantrel::memory;

namespace {

/// The model: one entry per stored byte, clipped to the window like the image.
struct ByteMapModel {
  std::int64_t base;
  std::int64_t end;
  std::map<std::int64_t, std::uint8_t> bytes;

  OptionalBytes add(std::int64_t addr, const Bytes &data) {
    const auto len = static_cast<std::int64_t>(data.size());
    const bool front = addr < base;
    const bool back = addr + len - 1 > end;
    bool inside = false;
    for (std::int64_t i = 0; i < len; ++i)
      if (addr + i >= base && addr + i <= end) {
        bytes[addr + i] = data[static_cast<std::size_t>(i)];
        inside = true;
      }
    if (!inside || (front && back)) return std::nullopt;
    if (front) return Bytes(data.begin(), data.begin() + (base - addr));
    if (back) return Bytes(data.begin() + (end - addr + 1), data.end());
    return std::nullopt;
  }

  OptionalBytes get(std::int64_t addr, std::int64_t len) const {
    Bytes out;
    for (std::int64_t a = addr; a < addr + len; ++a) {
      auto it = bytes.find(a);
      if (it == bytes.end()) break;
      out.push_back(it->second);
    }
    if (out.empty()) return std::nullopt;
    return out;
  }
};

/// Checks that the image's segments never overlap and hold exactly the model's bytes.
void expectSameContent(const ConcatinatingMemory &m, const ByteMapModel &model) {
  std::int64_t previousEnd = -1;
  std::int64_t total = 0;
  for (SegmentKey key : m.iterator()) {
    const std::int64_t start = m.getAddr(key);
    ASSERT_GE(start, previousEnd + 1) << "overlapping segments";
    const Bytes seg = *m.get(key);
    for (std::size_t i = 0; i < seg.size(); ++i) {
      auto it = model.bytes.find(start + static_cast<std::int64_t>(i));
      ASSERT_NE(it, model.bytes.end()) << "byte the model lacks at " << start + static_cast<std::int64_t>(i);
      ASSERT_EQ(it->second, seg[i]) << "at " << start + static_cast<std::int64_t>(i);
    }
    previousEnd = start + static_cast<std::int64_t>(seg.size()) - 1;
    total += static_cast<std::int64_t>(seg.size());
  }
  ASSERT_EQ(total, static_cast<std::int64_t>(model.bytes.size()));
  ASSERT_EQ(m.total(), total);
}

void runSequence(std::uint32_t seed, std::int64_t base, std::int64_t end) {
  std::mt19937 random(seed);
  ConcatinatingMemory m(base, end);
  ByteMapModel model{base, end, {}};
  auto pick = [&](std::int64_t lo, std::int64_t hi) {
    return std::uniform_int_distribution<std::int64_t>(lo, hi)(random);
  };
  for (int step = 0; step < 400; ++step) {
    const std::int64_t op = pick(0, 9);
    if (op < 6) {
      Bytes data(static_cast<std::size_t>(pick(0, 40)));
      for (auto &b : data)
        b = static_cast<std::uint8_t>(pick(0, 255));
      const std::int64_t addr = pick(std::max<std::int64_t>(0, base - 30), end + 10);
      const OptionalBytes expected = model.add(addr, data);
      const OptionalBytes actual = op < 3 ? m.add(addr, data) : m.add(addr, Bytes(data));
      ASSERT_EQ(actual, expected) << "seed " << seed << " step " << step;
    } else if (op < 8) {
      const std::int64_t addr = pick(std::max<std::int64_t>(0, base - 5), end + 5);
      const std::int64_t len = pick(0, 60);
      ASSERT_EQ(m.get(addr, len), model.get(addr, len)) << "seed " << seed << " step " << step;
    } else if (op == 8) {
      const std::int64_t addr = pick(std::max<std::int64_t>(0, base - 5), end + 5);
      ASSERT_EQ(m.has(addr), model.bytes.count(addr) != 0);
    } else {
      // Remove a whole segment from both.
      const std::vector<SegmentKey> keys = m.iterator();
      if (keys.empty()) continue;
      const SegmentKey key =
          keys[static_cast<std::size_t>(pick(0, static_cast<std::int64_t>(keys.size()) - 1))];
      const std::int64_t start = m.getAddr(key);
      const std::int64_t len = m.getLen(key);
      ASSERT_TRUE(m.remove(start));
      for (std::int64_t a = start; a < start + len; ++a)
        model.bytes.erase(a);
    }
    expectSameContent(m, model);
    if (::testing::Test::HasFatalFailure()) return;
  }
}

} // namespace

TEST(MemoryDifferential, RandomSequencesMatchTheByteMap) {
  for (std::uint32_t seed = 1; seed <= 200; ++seed) {
    runSequence(seed, 0, 300);
    if (::testing::Test::HasFatalFailure()) return;
  }
}

TEST(MemoryDifferential, RandomSequencesInAnOffsetWindow) {
  for (std::uint32_t seed = 1000; seed <= 1100; ++seed) {
    runSequence(seed, 100, 220);
    if (::testing::Test::HasFatalFailure()) return;
  }
}
