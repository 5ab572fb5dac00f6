// The platform layer's path text follows the rules of the OS it was built for.
#include "platform/path.h"

#include <gtest/gtest.h>

using namespace vantrel::platform;

TEST(Path, FollowsTheRulesOfThisOs) {
#ifdef _WIN32
  EXPECT_EQ(lastComponent("d$1\\x$0.flash"), "x$0.flash");
  EXPECT_TRUE(isAbsolutePath("C:\\x"));
  EXPECT_EQ(preferredSeparator(), '\\');
#else
  EXPECT_EQ(lastComponent("d$1\\x$0.flash"), "d$1\\x$0.flash");
  EXPECT_TRUE(isAbsolutePath("/x"));
  EXPECT_EQ(preferredSeparator(), '/');
#endif
  EXPECT_EQ(lastComponent("out/top.flash"), "top.flash");
}
