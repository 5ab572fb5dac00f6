// Tests of the help text: the conversion tool's help byte for byte, the standard options
// alone, usage-line forms, groups and the syntax-name check.
#include "commandOptions/HelpFormatter.h"
#include "commandOptions/OptionMessages.h"
#include "commandOptions/StandardStreams.h"

#include "DriverHelpText.h"
#include "DriverTable.h"
#include "TestText.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

namespace vantrel::commandOptions {
namespace {

using test::DRIVER_HEADER;
using test::DRIVER_HELP;
using test::nl;
using test::STANDARD_HELP;

class HelpFormatterTest : public ::testing::Test {
protected:
  void SetUp() override { setStandardOutput(&captured_); }
  void TearDown() override { setStandardOutput(nullptr); }
  std::ostringstream captured_;
};

TEST_F(HelpFormatterTest, ConversionToolHelpByteForByte) {
  HelpFormatter formatter;
  formatter.printHelp("bitmorph", std::string(DRIVER_HEADER), test::fullDriverOptions(), std::string(), true);
  EXPECT_EQ(captured_.str(), nl(DRIVER_HELP));
}

TEST_F(HelpFormatterTest, ConversionToolHelpLineShapes) {
  HelpFormatter formatter;
  formatter.printHelp("bitmorph", std::string(DRIVER_HEADER), test::fullDriverOptions(), std::nullopt, true);
  std::istringstream lines(captured_.str());
  std::vector<std::string> all;
  for (std::string line; std::getline(lines, line);)
    all.push_back(line);
  ASSERT_GE(all.size(), 9u);
  const std::string separatorTail = std::string(platform::lineSeparator()).substr(0, 1) == "\r" ? "\r" : "";
  // Continuation lines may exceed the width by the indent.
  EXPECT_EQ(all[5].size(), 78u + separatorTail.size());
  EXPECT_EQ(all[8], "       [--qprom] [--output=file] " + separatorTail);
}

TEST_F(HelpFormatterTest, StandardOptionsAlone) {
  Options opts;
  test::addStandardOptions(opts);
  HelpFormatter formatter;
  formatter.printHelp("tool", std::nullopt, opts, std::nullopt, true);
  // The whole usage line fits the first line, so its last blank is trimmed.
  EXPECT_EQ(captured_.str(), nl(STANDARD_HELP));
}

TEST_F(HelpFormatterTest, PlainUsageLineAndFooter) {
  Options opts;
  opts.addOption("kld", false, "Kld mode");
  HelpFormatter formatter;
  formatter.printHelp("tool [options] files", std::string("Header."), opts, std::string("Footer."));
  EXPECT_EQ(captured_.str(), nl("Header.\n"
                                "usage: tool [options] files\n"
                                "\n"
                                "Options may be specified in any order.\n"
                                "\n"
                                "    --kld   Kld mode\n"
                                "Footer.\n"));
}

TEST_F(HelpFormatterTest, PlainUsageWrapsUnderTheSyntaxArguments) {
  HelpFormatter formatter;
  std::ostringstream out;
  formatter.printUsage(out, 20, "tool aaaa bbbb cccc dddd");
  // Indent 7 + 5: continuation lines start under "aaaa".
  EXPECT_EQ(out.str(), nl("usage: tool aaaa\n"
                          "            bbbb cccc dddd\n"));
}

TEST_F(HelpFormatterTest, EmptySyntaxIsRefusedBeforeAnythingIsPrinted) {
  HelpFormatter formatter;
  Options opts;
  try {
    formatter.printHelp("", std::string("header"), opts, std::nullopt, true);
    FAIL() << "an empty syntax name was accepted";
  } catch (const std::invalid_argument &e) {
    EXPECT_STREQ(e.what(), "cmdLineSyntax not provided");
  }
  EXPECT_EQ(captured_.str(), "");
}

TEST_F(HelpFormatterTest, OptionalValueAndRequiredOption) {
  Options opts;
  Option level("level", true, "how much");
  level.setOptionalArg(true);
  level.setArgName("n");
  Option name("name", true, "who");
  name.setRequired(true);
  opts.addOption(level).addOption(name);
  HelpFormatter formatter;
  std::ostringstream out;
  formatter.printUsage(out, 72, "tool", opts);
  // Order: "--name" and "--level" in the table's hash order.
  const std::string usage = out.str();
  EXPECT_NE(usage.find("[--level[=n]] "), std::string::npos) << usage;
  EXPECT_NE(usage.find(" --name=arg"), std::string::npos) << usage;
  EXPECT_EQ(usage.find("[--name"), std::string::npos) << usage;
  std::ostringstream list;
  formatter.printOptions(list, 72, opts, 1, 3);
  EXPECT_EQ(list.str(), nl("\nOptions may be specified in any order.\n\n"
                           "    --level[=<n>]   how much\n"
                           "    --name=<arg>    who\n"));
}

TEST_F(HelpFormatterTest, ShortNamesWhenTurnedOn) {
  Options opts;
  opts.addOption("input", "i", true, "in");
  opts.addOption("kld", false, "k");
  HelpFormatter formatter;
  formatter.showShortOpts = true;
  std::ostringstream out;
  formatter.printUsage(out, 72, "tool", opts);
  formatter.printOptions(out, 72, opts, 1, 3);
  EXPECT_EQ(out.str(), nl("usage: tool [--kld] [-i/--input=arg]\n"
                          "\nOptions may be specified in any order.\n\n"
                          " -i,--input=<arg>   in\n"
                          "    --kld           k\n"));
}

TEST_F(HelpFormatterTest, GroupIsShownOnceWithItsMembers) {
  OptionGroup group;
  group.addOption(Option("sprom", false, "s")).addOption(Option("qprom", false, "q"));
  Options opts;
  opts.addOptionGroup(group);
  HelpFormatter formatter;
  std::ostringstream out;
  formatter.printUsage(out, 72, "tool", opts);
  const std::vector<std::string> names = group.getNames();
  EXPECT_EQ(out.str(), nl("usage: tool [" + names[0] + " | " + names[1] + "]\n"));
}

TEST_F(HelpFormatterTest, EmptyValueNameShowsArg) {
  Options opts;
  Option option("x", true, "d");
  option.setArgName("");
  opts.addOption(option);
  HelpFormatter formatter;
  std::ostringstream out;
  formatter.printUsage(out, 72, "tool", opts);
  formatter.printOptions(out, 72, opts, 1, 3);
  EXPECT_EQ(out.str(), nl("usage: tool [--x=arg]\n"
                          "\nOptions may be specified in any order.\n\n"
                          "    --x=<arg>   d\n"));
}

TEST_F(HelpFormatterTest, SortingPutsUpperCaseAndPrefixesFirst) {
  Options opts;
  opts.addOption("save", false, "1");
  opts.addOption("Save", false, "2");
  opts.addOption("sav", false, "3");
  opts.addOption("save2", false, "4");
  HelpFormatter formatter;
  std::ostringstream out;
  formatter.printOptions(out, 72, opts, 0, 1);
  EXPECT_EQ(out.str(), nl("\nOptions may be specified in any order.\n\n"
                          "   --Save  2\n"
                          "   --sav   3\n"
                          "   --save  1\n"
                          "   --save2 4\n"));
}

} // namespace
} // namespace vantrel::commandOptions
