// Tests of the wrapping rules: break positions, long words, line feeds, tabs, trimming.
#include "commandOptions/HelpFormatter.h"

#include "TestText.h"

#include <gtest/gtest.h>

#include <sstream>

namespace vantrel::commandOptions {
namespace {

using test::nl;

std::string wrap(int width, int indent, const std::string &text) {
  HelpFormatter formatter;
  std::string sb;
  formatter.renderWrappedText(sb, width, indent, text);
  return sb;
}

TEST(HelpWrapping, FindWrapPosRules) {
  // A line feed within the width breaks there.
  EXPECT_EQ(HelpFormatter::findWrapPos("ab\ncd", 10, 0), 2);
  // A tab within the width breaks there.
  EXPECT_EQ(HelpFormatter::findWrapPos("ab\tcd", 10, 0), 2);
  // Text that fits has no break.
  EXPECT_EQ(HelpFormatter::findWrapPos("abc def", 10, 0), -1);
  // The last blank at or before the width.
  EXPECT_EQ(HelpFormatter::findWrapPos("aaa bbb ccc", 8, 0), 7);
  EXPECT_EQ(HelpFormatter::findWrapPos("aaa bbb ccc", 7, 0), 7);
  // No blank before: the first one after.
  EXPECT_EQ(HelpFormatter::findWrapPos("aaaaaaaaaa bb", 4, 0), 10);
  // No blank at all past the width: no break.
  EXPECT_EQ(HelpFormatter::findWrapPos("aaaaaaaaaa", 4, 0), -1);
  // A line feed past the width does not count; a blank before the width does.
  EXPECT_EQ(HelpFormatter::findWrapPos("aa bb cc\n", 6, 0), 5);
  // From a start position: the width is measured from it for blanks.
  EXPECT_EQ(HelpFormatter::findWrapPos("    aa bb cc", 5, 4), 9);
}

TEST(HelpWrapping, LongWordStaysWhole) {
  EXPECT_EQ(wrap(10, 4, "short averyveryverylongword end"), nl("short\n    averyveryverylongword\n    end"));
}

TEST(HelpWrapping, LineFeedsBreakAndTwoGiveAnEmptyLine) {
  EXPECT_EQ(wrap(40, 2, "one\ntwo\n\nthree"), nl("one\n  two\n\n  three"));
}

TEST(HelpWrapping, TabWithinTheLimitBreaksAndIsDropped) {
  EXPECT_EQ(wrap(40, 0, "left\tright"), nl("left\nright"));
}

TEST(HelpWrapping, LastPieceKeepsTrailingBlanksFirstLineDoesNot) {
  EXPECT_EQ(wrap(40, 0, "fits on one line   "), "fits on one line");
  EXPECT_EQ(wrap(8, 2, "aaaa bbbb cc "), nl("aaaa\n  bbbb cc "));
}

TEST(HelpWrapping, ContinuationLinesMayRunToIndentPlusWidth) {
  // Width 10, indent 6: the continuation line holds 6 + 10 characters.
  EXPECT_EQ(wrap(10, 6, "aaaaaaaaa bbbb cccc dddd eeee"), nl("aaaaaaaaa\n      bbbb cccc\n      dddd eeee"));
}

TEST(HelpWrapping, DescriptionLongerThanTheRoomInTheOptionList) {
  Options opts;
  opts.addOption("x", false, "supercalifragilisticexpialidocious word");
  HelpFormatter formatter;
  std::string sb;
  formatter.renderOptions(sb, 20, opts, 1, 3);
  // The first line breaks at the last blank of the padding; the word then stands whole on
  // its own continuation line, longer than the room.
  EXPECT_EQ(sb, nl("    --x\n          supercalifragilisticexpialidocious\n          word"));
}

TEST(HelpWrapping, DescriptionWithLineFeeds) {
  Options opts;
  opts.addOption("x", false, "first\n\nsecond");
  HelpFormatter formatter;
  std::string sb;
  formatter.renderOptions(sb, 72, opts, 1, 3);
  EXPECT_EQ(sb, nl("    --x   first\n\n          second"));
}

TEST(HelpWrapping, OptionWithoutDescriptionEndsAfterItsColumn) {
  Options opts;
  opts.addOption(Option("x"));
  opts.addOption("longer", false, "d");
  HelpFormatter formatter;
  std::string sb;
  formatter.renderOptions(sb, 72, opts, 1, 3);
  EXPECT_EQ(sb, nl("    --longer   d\n    --x"));
}

TEST(HelpWrapping, TrimHelpers) {
  EXPECT_EQ(HelpFormatter::rtrim("  a b \t\r\n\v\f"), "  a b");
  EXPECT_EQ(HelpFormatter::ltrim(" \t\n a b "), "a b ");
  EXPECT_EQ(HelpFormatter::rtrim(" \t "), "");
  EXPECT_EQ(HelpFormatter::ltrim(""), "");
  EXPECT_EQ(HelpFormatter::createPadding(3), "   ");
  EXPECT_EQ(HelpFormatter::createPadding(0), "");
}

TEST(HelpWrapping, TinyWidthsStillEnd) {
  EXPECT_EQ(wrap(1, 0, "a b c"), nl("a\nb\nc"));
  EXPECT_EQ(wrap(0, 5, "a b"), nl("a\n     b"));
  EXPECT_EQ(wrap(-3, 0, "ab"), "ab");
}

TEST(HelpWrapping, PrintWrappedEndsWithOneLineBreak) {
  HelpFormatter formatter;
  std::ostringstream out;
  formatter.printWrapped(out, 72, "text");
  formatter.printWrapped(out, 5, 2, "aaa bbb");
  EXPECT_EQ(out.str(), nl("text\naaa\n  bbb\n"));
}

} // namespace
} // namespace vantrel::commandOptions
