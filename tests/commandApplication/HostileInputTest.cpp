// Tests that any argument list, however hostile, gives a parse result or a ParseException:
// generated lists from a hostile alphabet, very long and very many arguments.
#include "commandApplication/NumberDecoding.h"
#include "commandOptions/CommandLine.h"
#include "commandOptions/DriverTable.h"
#include "commandOptions/ParseException.h"
#include "commandOptions/PosixParser.h"

#include <gtest/gtest.h>

#include <random>

namespace vantrel::commandApplication {
namespace {

/// Outcome of parseAnyArguments.
struct AnyParseOutcome {
  bool parsed = false; ///< a CommandLine came back
  std::string error;   ///< the ParseException's message otherwise
  std::size_t remainingArgs = 0;
  std::size_t occurrences = 0;
};

/// Parses any argument list leniently with the conversion tool's table, reads back every
/// option's values and decodes each as an integer, as the tool does; a ParseException is
/// returned as an outcome, anything else escapes.
AnyParseOutcome parseAnyArguments(const std::vector<std::string> &arguments) {
  static const commandOptions::Options table = commandOptions::test::fullDriverOptions();
  AnyParseOutcome outcome;
  commandOptions::PosixParser parser;
  try {
    const commandOptions::CommandLine cmd = parser.parse(table, arguments, true);
    outcome.parsed = true;
    outcome.remainingArgs = cmd.getArgs().size();
    outcome.occurrences = cmd.getOptions().size();
    for (const commandOptions::Option &option : table.getOptions()) {
      if (auto values = cmd.getOptionValues(option.getLongOpt()))
        for (const std::string &value : *values)
          (void)decodeInteger(value);
    }
  } catch (const commandOptions::ParseException &e) {
    outcome.error = e.what();
  }
  return outcome;
}

const std::vector<std::string> PIECES = {
    "",         "-",    "--",       "=",        "==",   "-=",     "--=",
    "i",        "o",    "l",        "v",        "q",    "s",      "a",
    "c",        "h",    "input",    "output",   "log",  "offset", "kld",
    "x.sof",    "\xFF", "\xC3\xA9", "\xE2\x82", "\x80", " ",      "\t",
    "\n",       "0x",   "#",        "-16",      "?",    "@",      std::string(1, '\0'),
    "optionbit"};

std::string hostileArgument(std::mt19937 &rng) {
  std::uniform_int_distribution<std::size_t> count(0, 6);
  std::uniform_int_distribution<std::size_t> pick(0, PIECES.size() - 1);
  std::string arg;
  const std::size_t n = count(rng);
  for (std::size_t i = 0; i < n; ++i)
    arg += PIECES[pick(rng)];
  return arg;
}

TEST(HostileInput, GeneratedListsParseOrFailCleanly) {
  std::mt19937 rng(20261207);
  std::uniform_int_distribution<std::size_t> length(0, 12);
  std::size_t parsed = 0;
  std::size_t refused = 0;
  for (int round = 0; round < 20000; ++round) {
    std::vector<std::string> args(length(rng));
    for (std::string &arg : args)
      arg = hostileArgument(rng);
    AnyParseOutcome outcome;
    ASSERT_NO_THROW(outcome = parseAnyArguments(args)) << "round " << round;
    if (outcome.parsed) {
      ++parsed;
      EXPECT_EQ(outcome.error, "");
    } else {
      ++refused;
      EXPECT_EQ(outcome.error.rfind("no argument for: ", 0), 0u) << outcome.error;
    }
  }
  // Both outcomes occur in such a mix.
  EXPECT_GT(parsed, 1000u);
  EXPECT_GT(refused, 10u);
}

TEST(HostileInput, VeryLongArguments) {
  const std::string longDashes(1 << 20, '-');
  const std::string longEquals(1 << 20, '=');
  const std::string burst = "-" + std::string(1 << 16, 'v');
  std::string mixed = "--input=";
  mixed += std::string(1 << 18, '=');
  for (const std::vector<std::string> &args :
       {std::vector<std::string>{longDashes}, std::vector<std::string>{longEquals},
        std::vector<std::string>{burst}, std::vector<std::string>{mixed},
        std::vector<std::string>{"-i" + longEquals}}) {
    AnyParseOutcome outcome;
    ASSERT_NO_THROW(outcome = parseAnyArguments(args));
    EXPECT_TRUE(outcome.parsed) << outcome.error;
  }
  // 65536 bursts of -v: one occurrence each.
  EXPECT_EQ(parseAnyArguments({burst}).occurrences, std::size_t{1} << 16);
}

TEST(HostileInput, VeryManyArguments) {
  std::vector<std::string> args(100000, "-s");
  args.push_back("word");
  AnyParseOutcome outcome = parseAnyArguments(args);
  EXPECT_TRUE(outcome.parsed);
  EXPECT_EQ(outcome.occurrences, 100000u);
  EXPECT_EQ(outcome.remainingArgs, 1u);
  std::vector<std::string> empties(100000, "");
  EXPECT_EQ(parseAnyArguments(empties).remainingArgs, 100000u);
}

TEST(HostileInput, ParseErrorIsAnOutcome) {
  AnyParseOutcome outcome = parseAnyArguments({"--offset=-16"});
  EXPECT_FALSE(outcome.parsed);
  EXPECT_EQ(outcome.error, "no argument for: offset");
}

} // namespace
} // namespace vantrel::commandApplication
