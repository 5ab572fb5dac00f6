// Tests of the option table: lookup rules, iteration order, groups and the required list.
#include "commandOptions/Options.h"

#include "DriverTable.h"

#include <gtest/gtest.h>

namespace vantrel::commandOptions {
namespace {

std::vector<std::string> longNames(const Options &opts) {
  std::vector<std::string> names;
  for (const Option &option : opts.getOptions())
    names.push_back(option.getLongOpt());
  return names;
}

// --- iteration order -----------------------------------------------------------------

TEST(OptionsOrder, DriverTableIteratesInHashOrder) {
  Options opts = test::fullDriverOptions();
  EXPECT_EQ(opts.bucketCount(), 32u); // 19 options: grown once, past 12
  EXPECT_EQ(longNames(opts),
            (std::vector<std::string>{"programmingmode", "qprom128", "debug", "optionbit", "save", "quiet",
                                      "verbose", "activeparallel", "kld", "timestamp", "help", "log", "input",
                                      "offset", "sprom", "compress", "options", "qprom", "output"}));
}

TEST(OptionsOrder, StandardOptionsAlone) {
  Options opts;
  test::addStandardOptions(opts);
  EXPECT_EQ(opts.bucketCount(), 16u);
  EXPECT_EQ(longNames(opts), (std::vector<std::string>{"help", "log", "quiet", "verbose"}));
}

TEST(OptionsOrder, DriverOptionsWithoutStandardOnes) {
  // 15 options also need 32 buckets; the order is the full order minus the four.
  Options opts = test::driverOptions();
  EXPECT_EQ(opts.bucketCount(), 32u);
  EXPECT_EQ(longNames(opts),
            (std::vector<std::string>{"programmingmode", "qprom128", "debug", "optionbit", "save",
                                      "activeparallel", "kld", "timestamp", "input", "offset", "sprom",
                                      "compress", "options", "qprom", "output"}));
}

TEST(OptionsOrder, TwelveOptionsStayInSixteenBuckets) {
  // The first twelve of the tool's options: no growth yet, so bucket = hash % 16.
  Options all = test::driverOptions();
  Options opts;
  const char *names[] = {"input",           "output", "options", "offset",   "kld",      "optionbit",
                         "programmingmode", "sprom",  "qprom",   "qprom128", "compress", "activeparallel"};
  for (const char *name : names)
    opts.addOption(*all.getOption(name));
  EXPECT_EQ(opts.bucketCount(), 16u);
  EXPECT_EQ(longNames(opts),
            (std::vector<std::string>{"programmingmode", "qprom128", "kld", "optionbit", "input", "offset",
                                      "sprom", "compress", "options", "qprom", "output", "activeparallel"}));
}

TEST(OptionsOrder, ReplacedOptionKeepsItsPlace) {
  Options opts;
  test::addStandardOptions(opts);
  opts.addOption("help", "H", false, "other help");
  EXPECT_EQ(longNames(opts), (std::vector<std::string>{"help", "log", "quiet", "verbose"}));
  EXPECT_EQ(opts.getOption("help")->getDescription(), "other help");
  EXPECT_TRUE(opts.hasOption("-H"));
}

// --- lookup ----------------------------------------------------------------------------

TEST(OptionsLookup, KeysWithAndWithoutDashes) {
  Options opts = test::fullDriverOptions();
  EXPECT_TRUE(opts.hasOption("--input"));
  EXPECT_TRUE(opts.hasOption("-i"));
  EXPECT_TRUE(opts.hasOption("input"));
  EXPECT_TRUE(opts.hasOption("i"));
  EXPECT_TRUE(opts.hasOption('i'));
  EXPECT_FALSE(opts.hasOption("-input")); // "-" + long name is a short-table key
  EXPECT_FALSE(opts.hasOption("--i"));
  EXPECT_FALSE(opts.hasOption("Input")); // case-sensitive
  EXPECT_FALSE(opts.hasOption(""));
  EXPECT_FALSE(opts.hasOption("-"));
  EXPECT_FALSE(opts.hasOption("--"));
  EXPECT_FALSE(opts.hasOption('d'));
}

TEST(OptionsLookup, OneLetterLongNameMatchesABareCharacter) {
  Options opts;
  opts.addOption("x", false, "one-letter long name");
  EXPECT_TRUE(opts.hasOption('x'));
  EXPECT_TRUE(opts.hasOption("--x"));
  EXPECT_FALSE(opts.hasOption("-x"));
}

TEST(OptionsLookup, GetOptionReturnsAFreshCopy) {
  Options opts = test::fullDriverOptions();
  std::optional<Option> input = opts.getOption("-i");
  ASSERT_TRUE(input);
  EXPECT_EQ(input->getLongOpt(), "input");
  EXPECT_FALSE(input->hasArgName()); // copies carry no value name
  input->addValue("a.sof");
  EXPECT_TRUE(opts.getOption("input")->getValuesList().empty());
  EXPECT_EQ(opts.getOption("nosuch"), std::nullopt);
  // The table's own options keep their value names (the help shows them).
  for (const Option &option : opts.helpOptions()) {
    if (option.getLongOpt() == "input") {
      EXPECT_EQ(option.getArgName(), "file");
    }
  }
}

// --- groups and required options --------------------------------------------------------

TEST(OptionsGroups, GroupMembersAreAddedUnrequired) {
  OptionGroup group;
  Option a("a", false, "first");
  a.setRequired(true);
  group.addOption(a).addOption(Option("b", false, "second"));
  group.setRequired(true);
  Options opts;
  opts.addOptionGroup(group);
  EXPECT_TRUE(opts.hasOption("a"));
  EXPECT_FALSE(opts.getOption("a")->isRequired());
  ASSERT_EQ(opts.getRequiredOptions().size(), 1u);
  EXPECT_EQ(opts.getRequiredOptions()[0].text(), "[--a first, --b second]");
  ASSERT_NE(opts.getOptionGroup(*opts.getOption("b")), nullptr);
  EXPECT_EQ(opts.getOptionGroup(Option("c")), nullptr);
}

TEST(OptionsGroups, RequiredOptionsInOrderOfAddition) {
  Options opts;
  Option b("b");
  b.setRequired(true);
  Option a("a");
  a.setRequired(true);
  opts.addOption(b).addOption(a).addOption(Option("c"));
  ASSERT_EQ(opts.getRequiredOptions().size(), 2u);
  EXPECT_EQ(opts.getRequiredOptions()[0].text(), "--b");
  EXPECT_EQ(opts.getRequiredOptions()[1].text(), "--a");
}

TEST(OptionsGroups, GroupTextFormAndNames) {
  OptionGroup group;
  group.addOption(Option("sprom", false, "SPROM flash mode")).addOption(Option("qprom"));
  EXPECT_EQ(group.getNames().size(), 2u);
  const std::string text = group.toString();
  EXPECT_TRUE(text == "[--sprom SPROM flash mode, --qprom]" || text == "[--qprom, --sprom SPROM flash mode]")
      << text;
  // Group members are filed in the same hash order as the table.
  HashOrderTable<int> order;
  order.put("--sprom", 0);
  order.put("--qprom", 1);
  EXPECT_EQ(group.getNames(), order.keys());
}

} // namespace
} // namespace vantrel::commandOptions
