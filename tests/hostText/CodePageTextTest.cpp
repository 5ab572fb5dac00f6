// UTF-8 or a legacy code page in a program's output: what is shown after each piece, with
// Latin-1 standing in for the code page.
#include "hostText/CodePageText.h"
#include "hostText/Utf16.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vantrel::hostText;

namespace {

/// Latin-1 to UTF-8, in brackets so that a test sees which lines the code page decoded.
std::string fromLatin1(std::string_view bytes) {
  std::u16string wide;
  for (unsigned char c : bytes)
    wide += static_cast<char16_t>(c);
  std::string text = "[";
  text += utf16ToUtf8(wide);
  return text += "]";
}

} // namespace

TEST(CodePageText, Utf8PassesAtOnceAndCodePageLinesAreDecodedWhole) {
  struct Case {
    const char *what;
    std::vector<std::string> pieces;
    std::vector<std::string> shown; ///< after each piece, then after finish
  };
  const Case cases[] = {
      {"UTF-8 cut inside a character",
       {"caf\xC3", "\xA9 \xE2\x82", "\xAC\r\n"},
       {"caf", "\xC3\xA9 ", "\xE2\x82\xAC\r\n", ""}},
      {"code page cut inside a line",
       {"Ger\xE4", "t: caf\xE9", "\r\nok\n"},
       {"Ger", "", "[\xC3\xA4t: caf\xC3\xA9\r]\nok\n", ""}},
      {"lines decided one by one", {"\xC3\xA9\n\xE9\n\xC3\xA9"}, {"\xC3\xA9\n[\xC3\xA9\n]\xC3\xA9", ""}},
      {"a carriage return ends progress text",
       {"50% \xE9\r", "100% \xE9\r"},
       {"[50% \xC3\xA9\r]", "[100% \xC3\xA9\r]", ""}},
      {"the end shows what was held", {"done \xE9", "\xC3"}, {"done ", "", "[\xC3\xA9\xC3\x83]"}},
      {"nothing held, nothing shown", {"", "plain"}, {"", "plain", ""}},
  };
  for (const Case &c : cases) {
    CodePageTextDecoder decoder(fromLatin1);
    std::vector<std::string> shown;
    for (const std::string &piece : c.pieces)
      shown.push_back(decoder.decode(piece));
    shown.push_back(decoder.finish());
    EXPECT_EQ(shown, c.shown) << c.what;
  }
}
