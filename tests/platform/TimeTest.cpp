// Tests of the clock: local calendar fields agree with the C library's own conversion.
#include "platform/time.h"

#include <gtest/gtest.h>

#include <ctime>

using namespace vantrel::platform;

TEST(Clock, NowIsAfter2020AndMonotoneEnough) {
  const auto a = nowMillis();
  sleepMillis(5);
  const auto b = nowMillis();
  EXPECT_GT(a, 1577836800000LL);
  EXPECT_GE(b - a, 4);
}

TEST(Clock, LocalFieldsMatchTheCLibrary) {
  for (std::int64_t ms : {0LL, 1765006049000LL, 1700000000123LL, 951782400000LL /* 2000-02-29 */}) {
    const std::time_t t = static_cast<std::time_t>(ms / 1000);
    const std::tm *expected = std::localtime(&t);
    ASSERT_NE(expected, nullptr);
    const LocalTime got = toLocalTime(ms);
    EXPECT_EQ(got.year, expected->tm_year + 1900);
    EXPECT_EQ(got.month, expected->tm_mon + 1);
    EXPECT_EQ(got.day, expected->tm_mday);
    EXPECT_EQ(got.hour, expected->tm_hour);
    EXPECT_EQ(got.minute, expected->tm_min);
    EXPECT_EQ(got.second, expected->tm_sec);
  }
}
