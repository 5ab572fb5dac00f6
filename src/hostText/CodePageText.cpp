// UTF-8 or a legacy code page, line by line.
#include "hostText/CodePageText.h"

#include "hostText/Utf8.h"

namespace vantrel::hostText {

std::string CodePageTextDecoder::line(std::string_view text) const {
  return wellFormedUtf8Length(text) == text.size() ? std::string(text) : fromCodePage_(text);
}

std::string CodePageTextDecoder::decode(std::string_view bytes) {
  held_.append(bytes);
  std::string out;
  std::size_t start = 0;
  for (std::size_t end; (end = held_.find_first_of("\r\n", start)) != std::string::npos; start = end + 1)
    out += line(std::string_view(held_).substr(start, end + 1 - start));
  // The line begun: its UTF-8 part goes now. What follows is a character still arriving or
  // the first byte of code-page text; either way it waits for more.
  const std::string_view begun = std::string_view(held_).substr(start);
  const std::size_t shown = wellFormedUtf8Length(begun);
  out.append(begun.substr(0, shown));
  held_.erase(0, start + shown);
  return out;
}

std::string CodePageTextDecoder::finish() {
  std::string out = line(held_);
  held_.clear();
  return out;
}

} // namespace vantrel::hostText
