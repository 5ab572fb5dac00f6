// Tests of the Windows command-line rules: quoting that the C runtime splits back into the
// same arguments, and the splitting itself, row by row of the table that the real C runtime
// judges under Wine (WindowsCommandLineJudgeTest_win32.cpp).
#include "hostText/WindowsCommandLine.h"
#include "WindowsCommandLineCases.h"

#include <gtest/gtest.h>

using namespace vantrel::hostText;
using host_text_test::Args;

TEST(BuildWindowsCommandLine, PlainArgumentsStayUnquoted) {
  EXPECT_EQ(buildWindowsCommandLine({"prog", "a", "b\\c"}), std::optional<std::string>("prog a b\\c"));
  EXPECT_EQ(buildWindowsCommandLine({}), std::optional<std::string>(""));
}

TEST(BuildWindowsCommandLine, BlanksAndEmptyArgumentsAreQuoted) {
  EXPECT_EQ(buildWindowsCommandLine({"prog", "a b", "", "\t"}),
            std::optional<std::string>("prog \"a b\" \"\" \"\t\""));
}

TEST(BuildWindowsCommandLine, QuotesAndBackslashesAreEscaped) {
  // a"b -> "a\"b"; a\"b -> "a\\\"b"; a b\ -> "a b\\"
  EXPECT_EQ(buildWindowsCommandLine({"p", "a\"b"}), std::optional<std::string>("p \"a\\\"b\""));
  EXPECT_EQ(buildWindowsCommandLine({"p", "a\\\"b"}), std::optional<std::string>("p \"a\\\\\\\"b\""));
  EXPECT_EQ(buildWindowsCommandLine({"p", "a b\\"}), std::optional<std::string>("p \"a b\\\\\""));
}

TEST(BuildWindowsCommandLine, ProgramNameIsQuotedWithoutEscapes) {
  EXPECT_EQ(buildWindowsCommandLine({"C:\\Program Files\\x.exe", "a"}),
            std::optional<std::string>("\"C:\\Program Files\\x.exe\" a"));
  EXPECT_EQ(buildWindowsCommandLine({"C:\\tools\\"}), std::optional<std::string>("C:\\tools\\"));
}

TEST(BuildWindowsCommandLine, ProgramNameWithQuoteCannotBePassed) {
  EXPECT_EQ(buildWindowsCommandLine({"pro\"g", "a"}), std::nullopt);
}

TEST(SplitWindowsCommandLine, FollowsTheRuntimeRules) {
  for (const host_text_test::CommandLineCase &c : host_text_test::commandLineCases())
    EXPECT_EQ(splitWindowsCommandLine(c.line), c.cRuntime) << c.line;
  EXPECT_EQ(splitWindowsCommandLine(""), (Args{""}));
}

TEST(QuoteWindowsArgument, AlwaysQuotesAndEscapesOnlyWhereAQuoteFollows) {
  const std::pair<std::string, std::string> cases[] = {
      {"in.sof", "\"in.sof\""},
      {"", "\"\""},
      {"C:\\dir\\a b.sof", "\"C:\\dir\\a b.sof\""},
      {"a\\\\b", "\"a\\\\b\""},
      {"\\", "\"\\\\\""},
      // Without the escapes a quote would end the word early, and a trailing backslash would
      // swallow the closing quote and merge the next argument into this one.
      {"say \"hi\"", "\"say \\\"hi\\\"\""},
      {"C:\\out dir\\", "\"C:\\out dir\\\\\""},
      {"a\\\"b", "\"a\\\\\\\"b\""},
  };
  for (const auto &[word, quoted] : cases) {
    EXPECT_EQ(quoteWindowsArgument(word), quoted) << word;
    EXPECT_EQ(splitWindowsCommandLine("\"prog\" " + quoted + " \"next\" "), (Args{"prog", word, "next"}))
        << word;
  }
}

TEST(WindowsCommandLine, RoundTripsTrickyArguments) {
  const Args tricky = {"prog", "",        " ",    "a b",  "\"",   "\\",      "\\\\",
                       "a\\",  "a\\\\\"", "\"\"", "\\\"", "x\ty", "tail\\\\"};
  const auto line = buildWindowsCommandLine(tricky);
  ASSERT_TRUE(line.has_value());
  EXPECT_EQ(splitWindowsCommandLine(*line), tricky);
}

TEST(WindowsCommandLine, RoundTripsGeneratedArguments) {
  // Every argument of up to six characters drawn from the characters that matter, taken
  // in a fixed pseudo-random order.
  const char alphabet[] = {'a', ' ', '"', '\\', '\t'};
  std::uint32_t seed = 12345;
  auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return seed >> 16;
  };
  for (int round = 0; round < 2000; ++round) {
    Args args = {"prog"};
    const int count = static_cast<int>(next() % 4) + 1;
    for (int k = 0; k < count; ++k) {
      std::string argument;
      const int length = static_cast<int>(next() % 7);
      for (int i = 0; i < length; ++i)
        argument += alphabet[next() % sizeof alphabet];
      args.push_back(argument);
    }
    const auto line = buildWindowsCommandLine(args);
    ASSERT_TRUE(line.has_value());
    ASSERT_EQ(splitWindowsCommandLine(*line), args) << "line: " << *line;
  }
}
