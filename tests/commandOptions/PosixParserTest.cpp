// Tests of the POSIX-style tokenizer and parse with the conversion tool's table, in lenient
// and strict mode: value forms, bursting, separators, "--" and "-", and the parse errors.
#include "commandOptions/PosixParser.h"
#include "commandOptions/ParseException.h"

#include "DriverTable.h"

#include <gtest/gtest.h>

namespace vantrel::commandOptions {
namespace {

using Args = std::vector<std::string>;

class PosixParserTest : public ::testing::Test {
protected:
  CommandLine parse(const Args &args, bool lenient = true) {
    PosixParser parser;
    return parser.parse(table_, args, lenient);
  }
  // The parse error's message, or "parsed" when the line was accepted.
  std::string error(const Args &args, bool lenient = true) {
    try {
      parse(args, lenient);
    } catch (const ParseException &e) {
      return e.what();
    }
    return "parsed";
  }
  std::vector<std::string> given(const CommandLine &cmd) {
    std::vector<std::string> names;
    for (const Option &option : cmd.getOptions())
      names.push_back(option.getLongOpt());
    return names;
  }
  Options table_ = test::fullDriverOptions();
};

// --- value forms -------------------------------------------------------------------------

TEST_F(PosixParserTest, FourWaysToGiveTheInput) {
  for (const Args &args :
       {Args{"--input=a.sof"}, Args{"--input", "a.sof"}, Args{"-i", "a.sof"}, Args{"-ia.sof"}}) {
    CommandLine cmd = parse(args);
    EXPECT_EQ(cmd.getOptionValue("input"), "a.sof") << args[0];
    EXPECT_TRUE(cmd.getArgs().empty()) << args[0];
  }
}

TEST_F(PosixParserTest, OneDashLongNameIsBurst) {
  CommandLine cmd = parse({"-input=a.sof"});
  EXPECT_EQ(cmd.getOptionValue("input"), "nput");
  EXPECT_EQ(cmd.getArgs(), (Args{"nput=a.sof"}));
}

TEST_F(PosixParserTest, SecondEqualsSignLeavesTheRest) {
  CommandLine cmd = parse({"--input=a=b"});
  EXPECT_EQ(cmd.getOptionValue("input"), "a");
  EXPECT_EQ(cmd.getArgs(), (Args{"a=b"}));
}

TEST_F(PosixParserTest, ShortOptionWithEqualsGivesEmptyValue) {
  CommandLine cmd = parse({"-i=a.sof"});
  EXPECT_EQ(cmd.getOptionValue("input"), "");
  EXPECT_EQ(cmd.getArgs(), (Args{"=a.sof"}));
}

TEST_F(PosixParserTest, EmptyValueAfterEquals) {
  CommandLine cmd = parse({"--input=", "b.sof"});
  EXPECT_EQ(cmd.getOptionValue("input"), "");
  EXPECT_EQ(cmd.getArgs(), (Args{"b.sof"}));
}

TEST_F(PosixParserTest, LoneDashIsAValueForLog) {
  CommandLine cmd = parse({"--log", "-"});
  EXPECT_EQ(cmd.getOptionValue("log"), "-");
  EXPECT_TRUE(cmd.getArgs().empty());
}

TEST_F(PosixParserTest, FirstOccurrenceWins) {
  CommandLine cmd = parse({"--input=a.sof", "--input=b.sof"});
  EXPECT_EQ(cmd.getOptionValue("input"), "a.sof");
  EXPECT_EQ(cmd.getOptionValues("input"), (Args{"a.sof", "b.sof"}));
  EXPECT_EQ(cmd.getOptions().size(), 2u);
}

// --- bursting ----------------------------------------------------------------------------

TEST_F(PosixParserTest, CompressBurstsIntoCAndOutput) {
  CommandLine cmd = parse({"-compress"});
  EXPECT_TRUE(cmd.hasOption("compress"));
  EXPECT_EQ(cmd.getOptionValue("output"), "mpress");
  EXPECT_TRUE(cmd.getArgs().empty());
}

TEST_F(PosixParserTest, SaveBurstsIntoSAVAndRemainder) {
  CommandLine cmd = parse({"-save"});
  EXPECT_EQ(given(cmd), (Args{"save", "activeparallel", "verbose"}));
  EXPECT_EQ(cmd.getArgs(), (Args{"-e"}));
}

TEST_F(PosixParserTest, HelpBurstsIntoHAndRemainder) {
  CommandLine cmd = parse({"-help"});
  EXPECT_TRUE(cmd.hasOption("help"));
  EXPECT_EQ(cmd.getArgs(), (Args{"-elp"}));
}

TEST_F(PosixParserTest, UnknownFirstLetterStaysWhole) {
  CommandLine cmd = parse({"-debug"});
  EXPECT_FALSE(cmd.hasOption("debug"));
  EXPECT_EQ(cmd.getArgs(), (Args{"-debug"}));
}

TEST_F(PosixParserTest, ClusteredFlagsAndTrailingValueOption) {
  CommandLine vq = parse({"-vq"});
  EXPECT_TRUE(vq.hasOption("verbose"));
  EXPECT_TRUE(vq.hasOption("quiet"));
  CommandLine vl = parse({"-vl", "x.log"});
  EXPECT_TRUE(vl.hasOption("verbose"));
  EXPECT_EQ(vl.getOptionValue("log"), "x.log");
  EXPECT_TRUE(vl.getArgs().empty());
}

// --- missing values --------------------------------------------------------------------------

TEST_F(PosixParserTest, MissingValueAtTheEndOrBeforeAnOption) {
  EXPECT_EQ(error({"--input"}), "no argument for: input");
  EXPECT_EQ(error({"--input", "--output", "x"}), "no argument for: input");
  EXPECT_EQ(error({"-i"}), "no argument for: input");
  EXPECT_EQ(error({"--input", "-x"}), "no argument for: input");
  EXPECT_EQ(error({"--input", "--"}), "no argument for: input");
}

TEST_F(PosixParserTest, DashValueIsNeverTakenEvenAfterEquals) {
  EXPECT_EQ(error({"--offset=-16"}), "no argument for: offset");
  EXPECT_EQ(error({"--offset", "-16"}), "no argument for: offset");
}

TEST_F(PosixParserTest, MissingValueIsAMissingArgumentException) {
  PosixParser parser;
  EXPECT_THROW(parser.parse(table_, {"--log"}, true), MissingArgumentException);
}

// --- unknown options, "--" and "-" --------------------------------------------------------

TEST_F(PosixParserTest, UnknownLongOptionWithValueGivesTwoArguments) {
  CommandLine cmd = parse({"--nosuch=3"});
  EXPECT_EQ(cmd.getArgs(), (Args{"--nosuch", "3"}));
}

TEST_F(PosixParserTest, DoubleDashEndsOptionsAsTokenized) {
  CommandLine cmd = parse({"--save", "--", "--x=1", "--input=a", "-s"});
  EXPECT_EQ(given(cmd), (Args{"save"}));
  EXPECT_EQ(cmd.getArgs(), (Args{"--x", "1", "--input", "a", "-s"}));
}

TEST_F(PosixParserTest, LoneDashAndEverythingAfterIt) {
  CommandLine cmd = parse({"-s", "-", "--input=a.sof", "b"});
  EXPECT_EQ(given(cmd), (Args{"save"}));
  EXPECT_EQ(cmd.getArgs(), (Args{"-", "--input", "a.sof", "b"}));
}

TEST_F(PosixParserTest, WordsBetweenOptionsDoNotStopParsing) {
  CommandLine cmd = parse({"a.sof", "--save", "b.sof"});
  EXPECT_TRUE(cmd.hasOption("save"));
  EXPECT_EQ(cmd.getArgs(), (Args{"a.sof", "b.sof"}));
}

TEST_F(PosixParserTest, FlagsRefuseValues) {
  CommandLine cmd = parse({"--kld", "x"});
  EXPECT_TRUE(cmd.hasOption("kld"));
  EXPECT_EQ(cmd.getOptionValue("kld"), std::nullopt);
  EXPECT_EQ(cmd.getArgs(), (Args{"x"}));
}

// --- strict mode -----------------------------------------------------------------------------

TEST_F(PosixParserTest, StrictModeRefusesUnknownOptions) {
  EXPECT_EQ(error({"-z"}, false), "Unrecognized option: -z");
  EXPECT_EQ(error({"--nosuch=3"}, false), "Unrecognized option: --nosuch");
  EXPECT_EQ(error({"-debug"}, false), "Unrecognized option: -debug");
  EXPECT_EQ(error({"-save"}, false), "Unrecognized option: -e");
  EXPECT_EQ(error({"-zsave"}, false), "Unrecognized option: -zsave");
  PosixParser parser;
  EXPECT_THROW(parser.parse(table_, {"-z"}), UnrecognizedOptionException);
}

TEST_F(PosixParserTest, StrictModeAcceptsKnownOptionsAndWords) {
  PosixParser parser;
  CommandLine cmd = parser.parse(table_, {"--input=a.sof", "-s", "word", "--", "-z"});
  EXPECT_EQ(cmd.getOptionValue("input"), "a.sof");
  EXPECT_TRUE(cmd.hasOption("save"));
  EXPECT_EQ(cmd.getArgs(), (Args{"word", "-z"}));
}

TEST_F(PosixParserTest, LenientAndStrictAgreeOnKnownLines) {
  const Args args{"-vq", "--offset", "0x20000", "top.sof", "-co", "top.flash"};
  CommandLine lenient = parse(args, true);
  CommandLine strict = parse(args, false);
  EXPECT_EQ(given(lenient), given(strict));
  EXPECT_EQ(lenient.getArgs(), strict.getArgs());
  EXPECT_EQ(strict.getOptionValue("output"), "top.flash");
  EXPECT_EQ(strict.getOptionValue("offset"), "0x20000");
}

// --- odd input ---------------------------------------------------------------------------------

TEST_F(PosixParserTest, EmptyAndOddArguments) {
  CommandLine cmd = parse({"", "=", "==", "--=", "-=", "\xFF\xFE", "-\xE9t\xE9"});
  // "--=" splits into "--" and "": the "--" ends the options.
  EXPECT_EQ(cmd.getArgs(), (Args{"", "=", "==", "", "-=", "\xFF\xFE", "-\xE9t\xE9"}));
  CommandLine strict = parse({"-=", "x"}, true);
  EXPECT_EQ(strict.getArgs(), (Args{"-=", "x"}));
  EXPECT_EQ(error({"-\xE9t\xE9"}, false), "Unrecognized option: -\xE9t\xE9");
}

TEST_F(PosixParserTest, EmptyStringIsAValue) {
  CommandLine cmd = parse({"--input", ""});
  EXPECT_EQ(cmd.getOptionValue("input"), "");
}

TEST_F(PosixParserTest, ParserIsReusable) {
  PosixParser parser;
  CommandLine first = parser.parse(table_, {"-s", "a"}, true);
  CommandLine second = parser.parse(table_, {"-c"}, true);
  EXPECT_EQ(first.getArgs(), (Args{"a"}));
  EXPECT_TRUE(second.getArgs().empty());
  EXPECT_TRUE(second.hasOption("compress"));
  EXPECT_FALSE(second.hasOption("save"));
}

} // namespace
} // namespace vantrel::commandOptions
