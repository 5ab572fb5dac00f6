// Tests that both templates are compiled in byte for byte.
#include "bitmorph/templates/CofTemplates.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vantrel::bitmorph::templates {
namespace {

std::uint64_t fnv1a64(std::string_view bytes) {
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  for (unsigned char b : bytes) {
    hash ^= b;
    hash *= 0x100000001b3ULL;
  }
  return hash;
}

std::string joinCrLf(const std::vector<std::string> &lines, bool lastEnds) {
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    text += lines[i];
    if (i + 1 < lines.size() || lastEnds) text += "\r\n";
  }
  return text;
}

const char *const XML_DECLARATION = "<?xml version=\"1.0\" encoding=\"US-ASCII\" standalone=\"yes\"?>";

TEST(CofTemplates, ActiveParallelTemplateByteForByte) {
  const std::string s8(8, ' ');
  const std::string s16(16, ' ');
  const std::string s24(24, ' ');
  const std::string expected = joinCrLf(
      {XML_DECLARATION, "<cof>", s8 + "<eprom_name>CFI_256MB</eprom_name>",
       s8 + "<output_filename>RBFOUTPUTFILENAME</output_filename>", s8 + "<n_pages>1</n_pages>",
       s8 + "<width>1</width>", s8 + "<mode>8</mode>", s8 + "<sof_data>", s16 + "<page_flags>1</page_flags>",
       s16 + "<bit0>", s24 + "<sof_filename>SOFINPUTFILENAME</sof_filename>", s16 + "</bit0>",
       s8 + "</sof_data>", s8 + "<version>4</version>", s8 + "<options>", s8 + "</options>", "</cof>"},
      true);
  EXPECT_EQ(activeParallelTemplate(), expected);
  EXPECT_EQ(activeParallelTemplate().size(), 535u);
  EXPECT_EQ(fnv1a64(activeParallelTemplate()), 0xe573b675c46dc4cdULL);
}

TEST(CofTemplates, KldTemplateByteForByteWithoutFinalLineEnd) {
  const std::string expected =
      joinCrLf({XML_DECLARATION,
                "<cof>",
                "\t<eprom_name>CFI_1GB</eprom_name>",
                "\t<output_filename>POFOUTPUTFILENAME</output_filename>",
                "\t<n_pages>1</n_pages>",
                "\t<width>1</width>",
                "\t<mode>PROGRAMMINGMODE</mode>",
                "\t<sof_data>",
                "\t\t<start_address>FPGASTARTADDRESS</start_address>",
                "\t\t<user_name>Page_0</user_name>",
                "\t\t<page_flags>1</page_flags>",
                "\t\t<bit0>",
                "\t\t\t<sof_filename>SOFINPUTFILENAME</sof_filename>",
                "\t\t</bit0>",
                "\t</sof_data>",
                "\t<version>4</version>",
                "\t<options>",
                "\t\t<map_file>1</map_file>",
                "\t\t<option_start_address>OPTIONSTARTADDRESS</option_start_address>",
                "\t</options>",
                "</cof>"},
               false);
  EXPECT_EQ(kldTemplate(), expected);
  EXPECT_EQ(kldTemplate().size(), 589u);
  EXPECT_EQ(kldTemplate().back(), '>');
  EXPECT_EQ(fnv1a64(kldTemplate()), 0xf05263fe08af8742ULL);
}

TEST(CofTemplates, FoundByResourceName) {
  ASSERT_TRUE(findTemplate("ActiveParallelTemplate.cof").has_value());
  EXPECT_EQ(findTemplate("ActiveParallelTemplate.cof")->size(), 535u);
  ASSERT_TRUE(findTemplate("KLDTemplate.cof").has_value());
  EXPECT_EQ(findTemplate("KLDTemplate.cof")->size(), 589u);
  EXPECT_FALSE(findTemplate("kldtemplate.cof").has_value());
  EXPECT_FALSE(findTemplate("").has_value());
}

} // namespace
} // namespace vantrel::bitmorph::templates
