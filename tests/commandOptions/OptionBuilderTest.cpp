// Tests of the process-wide option builder: defaults, each property, reset after create.
#include "commandOptions/OptionBuilder.h"
#include "commandOptions/OptionMessages.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace vantrel::commandOptions {
namespace {

class OptionBuilderTest : public ::testing::Test {
protected:
  void SetUp() override { OptionBuilder::reset(); }
  void TearDown() override { OptionBuilder::reset(); }
};

TEST_F(OptionBuilderTest, DefaultsGiveAPlainOption) {
  Option option = OptionBuilder::create("debug");
  EXPECT_EQ(option.getLongOpt(), "debug");
  EXPECT_FALSE(option.hasShortOpt());
  EXPECT_FALSE(option.hasDescription());
  EXPECT_FALSE(option.hasArgName());
  EXPECT_FALSE(option.isRequired());
  EXPECT_EQ(option.getArgs(), Option::UNINITIALIZED);
  EXPECT_EQ(option.getType(), std::nullopt);
  EXPECT_FALSE(option.hasOptionalArg());
  EXPECT_FALSE(option.hasValueSeparator());
}

TEST_F(OptionBuilderTest, EveryPropertyIsApplied) {
  Option option = OptionBuilder::withShortOpt('i')
                      .withArgName("file")
                      .hasArg()
                      .withValueSeparator()
                      .withDescription("input SOF file to process")
                      .isRequired()
                      .withType("path")
                      .create("input");
  EXPECT_EQ(option.getShortOpt(), 'i');
  EXPECT_EQ(option.getArgName(), "file");
  EXPECT_EQ(option.getArgs(), 1);
  EXPECT_EQ(option.getValueSeparator(), '=');
  EXPECT_EQ(option.getDescription(), "input SOF file to process");
  EXPECT_TRUE(option.isRequired());
  EXPECT_EQ(option.getType(), "path");
}

TEST_F(OptionBuilderTest, CountOperations) {
  EXPECT_EQ(OptionBuilder::hasArg(false).create("a").getArgs(), Option::UNINITIALIZED);
  EXPECT_EQ(OptionBuilder::hasArgs().create("a").getArgs(), Option::UNLIMITED_VALUES);
  EXPECT_EQ(OptionBuilder::hasArgs(3).create("a").getArgs(), 3);
  Option optional = OptionBuilder::hasOptionalArg().create("a");
  EXPECT_EQ(optional.getArgs(), 1);
  EXPECT_TRUE(optional.hasOptionalArg());
  Option many = OptionBuilder::hasOptionalArgs().create("a");
  EXPECT_EQ(many.getArgs(), Option::UNLIMITED_VALUES);
  EXPECT_TRUE(many.hasOptionalArg());
  EXPECT_EQ(OptionBuilder::hasOptionalArgs(2).create("a").getArgs(), 2);
  EXPECT_FALSE(OptionBuilder::isRequired(false).create("a").isRequired());
  EXPECT_EQ(OptionBuilder::withValueSeparator(',').create("a").getValueSeparator(), ',');
  EXPECT_EQ(OptionBuilder::withShortOpt("-x").create("a").getShortOpt(), 'x');
}

TEST_F(OptionBuilderTest, CreateResetsTheState) {
  OptionBuilder::withShortOpt("o").hasArg().withDescription("d").create("output");
  Option next = OptionBuilder::create("save");
  EXPECT_FALSE(next.hasShortOpt());
  EXPECT_FALSE(next.hasArg());
  EXPECT_FALSE(next.hasDescription());
}

TEST_F(OptionBuilderTest, RefusedNameKeepsTheState) {
  OptionBuilder::withDescription("kept").hasArg();
  try {
    OptionBuilder::create("bad name");
    FAIL() << "a name with a blank was accepted";
  } catch (const std::invalid_argument &e) {
    EXPECT_STREQ(e.what(), "long opt contains illegal character value ' '");
  }
  Option option = OptionBuilder::create("good");
  EXPECT_EQ(option.getDescription(), "kept");
  EXPECT_TRUE(option.hasArg());
}

TEST_F(OptionBuilderTest, RefusedShortNameKeepsTheState) {
  OptionBuilder::withShortOpt("=").withDescription("kept");
  EXPECT_THROW(OptionBuilder::create("x"), std::invalid_argument);
  OptionBuilder::withShortOpt("y");
  Option option = OptionBuilder::create("x");
  EXPECT_EQ(option.getShortOpt(), 'y');
  EXPECT_EQ(option.getDescription(), "kept");
}

TEST_F(OptionBuilderTest, CreateWithoutNameFails) {
  try {
    OptionBuilder::create();
    FAIL() << "an option without a long name was built";
  } catch (const std::invalid_argument &e) {
    EXPECT_STREQ(e.what(), messages::LONG_OPT_NULL);
  }
}

TEST_F(OptionBuilderTest, LeadingDashesAreDroppedOnce) {
  EXPECT_EQ(OptionBuilder::create("--input").getLongOpt(), "input");
  EXPECT_EQ(OptionBuilder::create("----x").getLongOpt(), "--x");
}

} // namespace
} // namespace vantrel::commandOptions
