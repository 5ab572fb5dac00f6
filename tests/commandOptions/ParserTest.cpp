// Tests of the parse driver: required options and groups, group exclusivity, optional and
// multiple values, and the result object.
#include "commandOptions/OptionBuilder.h"
#include "commandOptions/ParseException.h"
#include "commandOptions/PosixParser.h"

#include <gtest/gtest.h>

namespace vantrel::commandOptions {
namespace {

using Args = std::vector<std::string>;

std::string parseError(const Options &opts, const Args &args, bool lenient = true) {
  PosixParser parser;
  try {
    parser.parse(opts, args, lenient);
  } catch (const ParseException &e) {
    return e.what();
  }
  return "parsed";
}

Option required(const std::string &name) {
  Option option(name);
  option.setRequired(true);
  return option;
}

// --- required options ----------------------------------------------------------------------

TEST(ParserRequired, BothMissingAreListedWithoutSeparator) {
  Options opts;
  opts.addOption(required("a")).addOption(required("b"));
  EXPECT_EQ(parseError(opts, {}), "Missing required option(s): --a--b");
  EXPECT_EQ(parseError(opts, {"--a"}), "Missing required option(s): --b");
  EXPECT_EQ(parseError(opts, {"--b", "--a"}), "parsed");
  PosixParser parser;
  EXPECT_THROW(parser.parse(opts, {}, false), MissingOptionException);
}

TEST(ParserRequired, RequiredOptionGivenTwice) {
  Options opts;
  opts.addOption(required("a"));
  EXPECT_EQ(parseError(opts, {"--a", "--a"}), "parsed");
}

TEST(ParserRequired, RequiredListSurvivesRepeatedParses) {
  Options opts;
  opts.addOption(required("a"));
  EXPECT_EQ(parseError(opts, {"--a"}), "parsed");
  EXPECT_EQ(parseError(opts, {}), "Missing required option(s): --a");
}

TEST(ParserRequired, RequiredGroupShowsItsTextForm) {
  OptionGroup group;
  group.addOption(Option("x", false, "ex"));
  group.setRequired(true);
  Options opts;
  opts.addOption(required("a"));
  opts.addOptionGroup(group);
  EXPECT_EQ(parseError(opts, {}), "Missing required option(s): --a[--x ex]");
  EXPECT_EQ(parseError(opts, {"--x", "--a"}), "parsed");
}

// --- groups --------------------------------------------------------------------------------

class ParserGroups : public ::testing::Test {
protected:
  void SetUp() override {
    OptionGroup group;
    group.addOption(Option("sprom", "S", false, "serial"));
    group.addOption(Option("qprom", "Q", false, "quad"));
    opts_.addOptionGroup(group);
    opts_.addOption("save", "s", false, "keep");
  }
  Options opts_;
};

TEST_F(ParserGroups, TwoMembersAreRefused) {
  EXPECT_EQ(parseError(opts_, {"--sprom", "--qprom"}),
            "an option from this group has already been selected: 'sprom'");
  EXPECT_EQ(parseError(opts_, {"-QS"}), "an option from this group has already been selected: 'qprom'");
  PosixParser parser;
  EXPECT_THROW(parser.parse(opts_, {"--qprom", "--sprom"}), AlreadySelectedException);
}

TEST_F(ParserGroups, SameMemberTwiceIsAccepted) {
  EXPECT_EQ(parseError(opts_, {"--sprom", "-S", "-s"}), "parsed");
}

TEST_F(ParserGroups, EveryParseStartsWithNoChoice) {
  EXPECT_EQ(parseError(opts_, {"--sprom"}), "parsed");
  EXPECT_EQ(parseError(opts_, {"--qprom"}), "parsed");
  ASSERT_NE(opts_.getOptionGroup(*opts_.getOption("sprom")), nullptr);
  EXPECT_EQ(opts_.getOptionGroup(*opts_.getOption("sprom"))->getSelected(), std::nullopt);
}

// --- values ----------------------------------------------------------------------------------

TEST(ParserValues, OptionalValueMayBeMissing) {
  Options opts;
  opts.addOption(OptionBuilder::hasOptionalArg().create("level"));
  PosixParser parser;
  CommandLine without = parser.parse(opts, {"--level", "--"}, true);
  EXPECT_TRUE(without.hasOption("level"));
  EXPECT_EQ(without.getOptionValue("level"), std::nullopt);
  EXPECT_EQ(without.getOptionValue("level", "dflt"), "dflt");
  CommandLine with = parser.parse(opts, {"--level", "3"}, true);
  EXPECT_EQ(with.getOptionValue("level"), "3");
}

TEST(ParserValues, UnlimitedValuesTakeEveryWordUpToAnOption) {
  Options opts;
  opts.addOption(OptionBuilder::hasArgs().create("files"));
  opts.addOption("save", "s", false, "keep");
  PosixParser parser;
  CommandLine cmd = parser.parse(opts, {"--files", "a", "b", "-s", "c"}, true);
  EXPECT_EQ(cmd.getOptionValues("files"), (Args{"a", "b"}));
  EXPECT_EQ(cmd.getArgs(), (Args{"c"}));
}

TEST(ParserValues, TwoValuesWithSeparator) {
  Options opts;
  opts.addOption(OptionBuilder::hasArgs(2).withValueSeparator().create("define"));
  PosixParser parser;
  CommandLine cmd = parser.parse(opts, {"--define", "k=v", "rest"}, true);
  EXPECT_EQ(cmd.getOptionValues("define"), (Args{"k", "v"}));
  EXPECT_EQ(cmd.getArgs(), (Args{"rest"}));
  CommandLine split = parser.parse(opts, {"--define=k", "v"}, true);
  EXPECT_EQ(split.getOptionValues("define"), (Args{"k", "v"}));
}

// --- the result ----------------------------------------------------------------------------

TEST(CommandLineResult, NamesWithOrWithoutDashes) {
  Options opts;
  opts.addOption("input", "i", true, "in");
  PosixParser parser;
  CommandLine cmd = parser.parse(opts, {"-i", "a"}, true);
  EXPECT_TRUE(cmd.hasOption("input"));
  EXPECT_TRUE(cmd.hasOption("--input"));
  EXPECT_FALSE(cmd.hasOption("i")); // lookups go by long name
  EXPECT_EQ(cmd.getOptionValue("--input"), "a");
  EXPECT_EQ(cmd.getOptionValues("nosuch"), std::nullopt);
  EXPECT_EQ(cmd.getOptionValue("nosuch", "d"), "d");
  EXPECT_EQ(cmd.getArgList(), cmd.getArgs());
}

} // namespace
} // namespace vantrel::commandOptions
