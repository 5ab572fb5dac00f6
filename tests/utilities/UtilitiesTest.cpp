// Tests of the pause helper.
#include "utilities/Utilities.h"

#include <gtest/gtest.h>

#include "platform/time.h"

using vantrel::platform::nowMillis;
using vantrel::utilities::Utilities;

TEST(UtilitiesSleep, PausesAtLeastTheGivenTime) {
  const std::int64_t start = nowMillis();
  Utilities::sleep(60);
  // Only the lower bound is the promise; clocks may tick in steps of a few milliseconds.
  EXPECT_GE(nowMillis() - start, 55);
}

TEST(UtilitiesSleep, ZeroOrNegativeReturnsAtOnce) {
  const std::int64_t start = nowMillis();
  Utilities::sleep(0);
  Utilities::sleep(-1000);
  EXPECT_LT(nowMillis() - start, 500);
}
