// Tests of the hash-ordered table: bucket order, growth past three quarters, replacement.
#include "commandOptions/HashOrderTable.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vantrel::commandOptions {
namespace {

// Built by appending: GCC 12 warns falsely about "literal" + std::string temporaries.
std::string key(const char *prefix, int i) {
  std::string text = prefix;
  text += std::to_string(i);
  return text;
}

TEST(HashOrderTable, StartsWithSixteenBucketsAndDoublesPastThreeQuarters) {
  HashOrderTable<int> table;
  EXPECT_EQ(table.bucketCount(), 16u);
  for (int i = 0; i < 12; ++i)
    table.put(key("k", i), i);
  EXPECT_EQ(table.bucketCount(), 16u); // 12 entries: exactly three quarters, no growth
  table.put("k12", 12);
  EXPECT_EQ(table.bucketCount(), 32u); // 13 > 12
  for (int i = 13; i < 24; ++i)
    table.put(key("k", i), i);
  EXPECT_EQ(table.bucketCount(), 32u);
  table.put("k24", 24);
  EXPECT_EQ(table.bucketCount(), 64u);
  EXPECT_EQ(table.size(), 25u);
}

TEST(HashOrderTable, IteratesBucketsInAscendingOrder) {
  // Single letters hash to their code: bucket = code % 16. "a" (97) -> 1, "p" (112) -> 0,
  // "b" (98) -> 2, "q" (113) -> 1.
  HashOrderTable<int> table;
  table.put("b", 1);
  table.put("a", 2);
  table.put("q", 3);
  table.put("p", 4);
  EXPECT_EQ(table.keys(), (std::vector<std::string>{"p", "a", "q", "b"}));
}

TEST(HashOrderTable, ReplacedKeyKeepsItsPlace) {
  HashOrderTable<int> table;
  table.put("q", 1);
  table.put("a", 2); // same bucket as "q", inserted later
  table.put("q", 3); // replacement keeps "q" ahead of "a"
  EXPECT_EQ(table.keys(), (std::vector<std::string>{"q", "a"}));
  EXPECT_EQ(table.values(), (std::vector<int>{3, 2}));
  EXPECT_EQ(table.size(), 2u);
}

TEST(HashOrderTable, GrowthKeepsInsertionOrderWithinABucket) {
  // "a" (97), "q" (113) and "A" ... share bucket 1 of 16; of 32 buckets, 97 % 32 = 1 and
  // 113 % 32 = 17, while 33 ("!") % 32 = 1: after growth "!" and "a" share bucket 1 in
  // insertion order.
  HashOrderTable<int> table;
  table.put("q", 0);
  table.put("!", 1);
  table.put("a", 2);
  for (int i = 0; i < 10; ++i)
    table.put(key("z", i), 10 + i);
  ASSERT_EQ(table.bucketCount(), 32u);
  std::vector<std::string> keys = table.keys();
  auto pos = [&keys](const std::string &k) { return std::find(keys.begin(), keys.end(), k) - keys.begin(); };
  EXPECT_LT(pos("!"), pos("a"));
  EXPECT_LT(pos("a"), pos("q"));
}

TEST(HashOrderTable, FindAndContains) {
  HashOrderTable<std::string> table;
  table.put("--input", "i");
  ASSERT_NE(table.find("--input"), nullptr);
  EXPECT_EQ(*table.find("--input"), "i");
  EXPECT_TRUE(table.contains("--input"));
  EXPECT_FALSE(table.contains("--Input"));
  EXPECT_EQ(table.find(""), nullptr);
}

} // namespace
} // namespace vantrel::commandOptions
