// Tests of the machine's options: sizes, properties, the class path and the refusals.
#include "VmOptions.h"
#include "RuntimeMessages.h"

#include <gtest/gtest.h>

using namespace vantrel::runtime;

TEST(VmOptionsSize, Units) {
  EXPECT_EQ(parseMemorySize("256"), 256u);
  EXPECT_EQ(parseMemorySize("256m"), 256u << 20);
  EXPECT_EQ(parseMemorySize("2G"), 2ull << 30);
  EXPECT_EQ(parseMemorySize("1t"), 1ull << 40);
  EXPECT_EQ(parseMemorySize("3k"), 3u << 10);
  EXPECT_FALSE(parseMemorySize(""));
  EXPECT_FALSE(parseMemorySize("m"));
  EXPECT_FALSE(parseMemorySize("12x"));
  EXPECT_FALSE(parseMemorySize("12mm"));
  EXPECT_FALSE(parseMemorySize("99999999999999999999"));
  EXPECT_FALSE(parseMemorySize("17179869184g"));
}

TEST(VmOptionsApply, PropertiesAndClassPath) {
  VmSettings s;
  std::string message;
  EXPECT_EQ(applyVmOption("-Djava.class.path=a.jar", s, message), OptionStatus::Applied);
  EXPECT_EQ(applyVmOption("-Dx=1=2", s, message), OptionStatus::Applied);
  EXPECT_EQ(applyVmOption("-Dflag", s, message), OptionStatus::Applied);
  EXPECT_EQ(s.config.classPath, "a.jar");
  EXPECT_EQ(s.config.properties["x"], "1=2");
  EXPECT_EQ(s.config.properties["flag"], "");
  EXPECT_EQ(applyVmOption("-Djava.class.path=", s, message), OptionStatus::Applied);
  EXPECT_EQ(s.config.classPath, "");
}

TEST(VmOptionsApply, HeapSizes) {
  VmSettings s;
  std::string message;
  EXPECT_EQ(applyVmOption("-Xms256m", s, message), OptionStatus::Applied);
  EXPECT_EQ(applyVmOption("-Xmx2g", s, message), OptionStatus::Applied);
  EXPECT_EQ(s.initialHeap, 256u << 20);
  EXPECT_EQ(s.maximumHeap, 2ull << 30);
  EXPECT_TRUE(checkVmSettings(s, message));
  EXPECT_EQ(applyVmOption("-Xmx128m", s, message), OptionStatus::Applied);
  EXPECT_FALSE(checkVmSettings(s, message));
  EXPECT_EQ(message, "Initial heap size set to a larger value than the maximum heap size\n");
}

TEST(VmOptionsApply, BadValuesAndUnknownOptions) {
  VmSettings s;
  std::string message;
  EXPECT_EQ(applyVmOption("-Xms256x", s, message), OptionStatus::Invalid);
  EXPECT_EQ(message, "Invalid initial heap size: -Xms256x\n");
  EXPECT_EQ(applyVmOption("-Xmx", s, message), OptionStatus::Invalid);
  EXPECT_EQ(message, "Invalid maximum heap size: -Xmx\n");
  EXPECT_EQ(applyVmOption("-Xmx0", s, message), OptionStatus::Invalid);
  EXPECT_EQ(applyVmOption("-Xssbad", s, message), OptionStatus::Invalid);
  EXPECT_EQ(message, "Invalid thread stack size: -Xssbad\n");
  EXPECT_EQ(applyVmOption("-Xfoo", s, message), OptionStatus::Unrecognized);
  EXPECT_EQ(message, "Unrecognized option: -Xfoo\n");
  EXPECT_EQ(applyVmOption("-D", s, message), OptionStatus::Unrecognized);
  EXPECT_EQ(message, "Unrecognized option: -D\n");
  EXPECT_EQ(applyVmOption("-splash:x.png", s, message), OptionStatus::Unrecognized);
}

TEST(VmOptionsApply, AcceptedSwitches) {
  VmSettings s;
  std::string message;
  for (const char *o :
       {"-Xint", "-Xrs", "-verbose", "-verbose:gc", "-ea", "-da:x...", "-Xshare:off", "-Xss1m"})
    EXPECT_EQ(applyVmOption(o, s, message), OptionStatus::Applied) << o;
}
