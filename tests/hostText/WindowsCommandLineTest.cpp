// Tests of the Windows command-line rules: quoting that the C runtime splits back into the
// same arguments, and the splitting itself (checked against a real child under Wine by the
// process runner's tests).
#include "hostText/WindowsCommandLine.h"

#include <gtest/gtest.h>

using namespace vantrel::hostText;
using Args = std::vector<std::string>;

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
  EXPECT_EQ(splitWindowsCommandLine("\"C:\\x y\\p.exe\" a"), (Args{"C:\\x y\\p.exe", "a"}));
  EXPECT_EQ(splitWindowsCommandLine("p   a  \t"), (Args{"p", "a"}));
  EXPECT_EQ(splitWindowsCommandLine("p a\\\\\\\\\"b c\""), (Args{"p", "a\\\\b c"}));
  EXPECT_EQ(splitWindowsCommandLine("p a\\\"b"), (Args{"p", "a\"b"}));
  EXPECT_EQ(splitWindowsCommandLine("p \"a\"\"b\""), (Args{"p", "a\"b"}));
  EXPECT_EQ(splitWindowsCommandLine("p a\\b\\"), (Args{"p", "a\\b\\"}));
  EXPECT_EQ(splitWindowsCommandLine("p \"\" x"), (Args{"p", "", "x"}));
  EXPECT_EQ(splitWindowsCommandLine(""), (Args{""}));
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
