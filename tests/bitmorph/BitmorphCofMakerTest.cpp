// Tests of template filling and writing of conversion descriptions.
#include "bitmorph/BitmorphCofMaker.h"

#include "support/ScratchDir.h"

#include <gtest/gtest.h>

#include <sstream>

namespace vantrel::bitmorph {
namespace {

using vantrel::testing::ScratchDir;

std::vector<std::string> crlfLines(const std::string &text) {
  std::vector<std::string> lines;
  std::size_t from = 0;
  for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", from)) {
    lines.push_back(text.substr(from, at - from));
    from = at + 2;
  }
  lines.push_back(text.substr(from));
  return lines;
}

TEST(BitmorphCofMakerActiveParallel, FillsLinesFourAndElevenOnly) {
  ScratchDir dir;
  const std::string cof = dir.file("top.cof");
  BitmorphCofMaker maker(std::string("top.sof"), std::string("top.rbf"), cof);
  const std::string written = vantrel::testing::readBytes(cof);
  EXPECT_EQ(written, maker.getCofContent());
  const auto lines = crlfLines(written);
  ASSERT_EQ(lines.size(), 18u); // 17 lines, the last one ended too
  EXPECT_EQ(lines[3], "        <output_filename>top.rbf</output_filename>");
  EXPECT_EQ(lines[10], "                        <sof_filename>top.sof</sof_filename>");
  EXPECT_EQ(lines[2], "        <eprom_name>CFI_256MB</eprom_name>");
  EXPECT_EQ(lines[17], "");
  EXPECT_EQ(written.size(), 535u - 16u - 17u + 7u + 7u);
}

TEST(BitmorphCofMakerActiveParallel, AnyAbsentNameDoesNothing) {
  ScratchDir dir;
  const std::string cof = dir.file("top.cof");
  BitmorphCofMaker maker(std::nullopt, std::string("top.rbf"), cof);
  EXPECT_EQ(maker.getCofContent(), "");
  EXPECT_TRUE(dir.list().empty());
  BitmorphCofMaker noCof(std::string("a.sof"), std::string("a.rbf"), std::nullopt);
  EXPECT_EQ(noCof.getCofContent(), "");
}

TEST(BitmorphCofMakerKld, FillsEveryTokenWithTextsAsTyped) {
  ScratchDir dir;
  const std::string cof = dir.file("top.cof");
  BitmorphCofMaker maker(cof, "top.sof", "top.pof", "0x00020000", "0x00018000", "0");
  const auto lines = crlfLines(vantrel::testing::readBytes(cof));
  ASSERT_EQ(lines.size(), 21u);
  EXPECT_EQ(lines[3], "\t<output_filename>top.pof</output_filename>");
  EXPECT_EQ(lines[6], "\t<mode>0</mode>");
  EXPECT_EQ(lines[8], "\t\t<start_address>0x00020000</start_address>");
  EXPECT_EQ(lines[12], "\t\t\t<sof_filename>top.sof</sof_filename>");
  EXPECT_EQ(lines[18], "\t\t<option_start_address>0x00018000</option_start_address>");
  EXPECT_EQ(lines[20], "</cof>"); // no line end after the last line
}

TEST(BitmorphCofMakerKld, BackslashesAndDollarsStandUnchanged) {
  ScratchDir dir;
  BitmorphCofMaker maker(dir.file("k.cof"), "C:\\work\\$top\\a.sof", "p.pof", "0x20000", "1", "6");
  EXPECT_NE(maker.getCofContent().find("<sof_filename>C:\\work\\$top\\a.sof</sof_filename>"),
            std::string::npos);
  EXPECT_NE(maker.getCofContent().find("<start_address>0x20000</start_address>"), std::string::npos);
}

TEST(BitmorphCofMakerEscaping, XmlCharactersAreEscaped) {
  EXPECT_EQ(BitmorphCofMaker::xmlEscape("a&b<c>d\"e'f"), "a&amp;b&lt;c&gt;d&quot;e&apos;f");
  ScratchDir dir;
  BitmorphCofMaker maker(std::string("R&D <1>.sof"), std::string("o'k.rbf"), dir.file("x.cof"));
  EXPECT_NE(maker.getCofContent().find("<sof_filename>R&amp;D &lt;1&gt;.sof</sof_filename>"),
            std::string::npos);
  EXPECT_NE(maker.getCofContent().find("<output_filename>o&apos;k.rbf</output_filename>"), std::string::npos);
}

TEST(BitmorphCofMakerReplace, EveryOccurrenceCharacterForCharacter) {
  EXPECT_EQ(BitmorphCofMaker::replaceAll("xTOKyTOKz", "TOK", "$1\\"), "x$1\\y$1\\z");
  EXPECT_EQ(BitmorphCofMaker::replaceAll("abc", "", "q"), "abc");
  EXPECT_EQ(BitmorphCofMaker::replaceAll("TOKTOK", "TOK", "TOK"), "TOKTOK");
}

TEST(BitmorphCofMakerWrite, IdenticalFileIsLeftUntouchedAndUnwritableIsReported) {
  ScratchDir dir;
  const std::string cof = dir.file("same.cof");
  BitmorphCofMaker maker(std::string("a.sof"), std::string("a.rbf"), cof);
  EXPECT_TRUE(maker.written());
  const auto before = std::filesystem::last_write_time(cof);
  EXPECT_TRUE(maker.writeCof());
  EXPECT_EQ(std::filesystem::last_write_time(cof), before);
  BitmorphCofMaker nowhere(std::string("a.sof"), std::string("a.rbf"), dir.file("missing-dir/a.cof"));
  EXPECT_FALSE(nowhere.written());
}

} // namespace
} // namespace vantrel::bitmorph
