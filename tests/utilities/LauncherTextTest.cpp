// Tests of the process runner's text work: blank splitting, the line filter, line taking,
// the read-error frame and the joined command.
#include "utilities/LauncherText.h"

#include <gtest/gtest.h>

#include "utilities/UtilitiesMessages.h"

using namespace vantrel::utilities;
using Pieces = std::vector<std::string>;

TEST(SplitAtBlanks, SplitsAtEverySingleBlank) {
  EXPECT_EQ(splitAtBlanks("prog a b"), (Pieces{"prog", "a", "b"}));
}

TEST(SplitAtBlanks, RunOfBlanksYieldsEmptyPiecesBetween) {
  EXPECT_EQ(splitAtBlanks("prog  a   b"), (Pieces{"prog", "", "a", "", "", "b"}));
}

TEST(SplitAtBlanks, LeadingBlankYieldsEmptyFirstPiece) {
  EXPECT_EQ(splitAtBlanks(" prog a"), (Pieces{"", "prog", "a"}));
}

TEST(SplitAtBlanks, TrailingEmptyPiecesAreDropped) {
  EXPECT_EQ(splitAtBlanks("prog a   "), (Pieces{"prog", "a"}));
  EXPECT_EQ(splitAtBlanks("   "), Pieces{});
  EXPECT_EQ(splitAtBlanks(""), Pieces{});
}

TEST(SplitAtBlanks, QuotesAndTabsAreOrdinaryCharacters) {
  EXPECT_EQ(splitAtBlanks("prog \"a b\"\tc"), (Pieces{"prog", "\"a", "b\"\tc"}));
}

TEST(FilterLines, KeepsLinesWithThePrefixEachEndedByLineFeed) {
  EXPECT_EQ(filterLines("Info: a\nWarning: b\nInfo: c\n", "Info"), "Info: a\nInfo: c\n");
}

TEST(FilterLines, AppendsLineFeedToAnUnendedLastLine) {
  EXPECT_EQ(filterLines("Info: a\nInfo: c", "Info"), "Info: a\nInfo: c\n");
}

TEST(FilterLines, KeepsCarriageReturnBeforeLineFeed) {
  EXPECT_EQ(filterLines("Info: a\r\nWarning: b\r\n", "Info"), "Info: a\r\n");
}

TEST(FilterLines, EmptyLinesMatchOnlyTheEmptyPrefix) {
  EXPECT_EQ(filterLines("a\n\nb\n\n\n", "a"), "a\n");
  EXPECT_EQ(filterLines("a\n\nb\n\n\n", ""), "a\n\nb\n");
}

TEST(FilterLines, NoMatchGivesEmptyText) {
  EXPECT_EQ(filterLines("Warning: b\n", "Info"), "");
  EXPECT_EQ(filterLines("", "Info"), "");
  EXPECT_EQ(filterLines("Inf\n", "Info"), "");
}

TEST(TakeLine, TakesLineAndTheBreaksAfterIt) {
  std::string buffer = "first\r\n\r\nsecond\nrest";
  EXPECT_EQ(takeLine(buffer), std::optional<std::string>("first"));
  EXPECT_EQ(buffer, "second\nrest");
  EXPECT_EQ(takeLine(buffer), std::optional<std::string>("second"));
  EXPECT_EQ(buffer, "rest");
}

TEST(TakeLine, SkipsLeadingBreaks) {
  std::string buffer = "\n\r\nline\rmore";
  EXPECT_EQ(takeLine(buffer), std::optional<std::string>("line"));
  EXPECT_EQ(buffer, "more");
}

TEST(TakeLine, IncompleteLineGivesNothingAndLeavesBuffer) {
  std::string buffer = "\r\npartial";
  EXPECT_EQ(takeLine(buffer), std::nullopt);
  EXPECT_EQ(buffer, "\r\npartial");
}

TEST(TakeLine, OnlyBreaksOrNothingGivesNothing) {
  std::string breaks = "\r\n\n";
  EXPECT_EQ(takeLine(breaks), std::nullopt);
  EXPECT_EQ(breaks, "\r\n\n");
  std::string empty;
  EXPECT_EQ(takeLine(empty), std::nullopt);
}

TEST(ReadErrorText, FramesDescriptionWithTwoLineFeedsEachSide) {
  EXPECT_EQ(readErrorText("Broken pipe"), "\n\nBroken pipe\n\n");
  EXPECT_EQ(std::string(READ_ERROR_FRAME), "\n\n");
}

TEST(JoinWithBlanks, JoinsElementsBySingleBlanks) {
  EXPECT_EQ(joinWithBlanks({"prog", "", "a b"}), "prog  a b");
  EXPECT_EQ(joinWithBlanks({}), "");
}
