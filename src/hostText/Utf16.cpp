// UTF-8 <-> UTF-16 by the Unicode encoding forms, written out once for every platform.
#include "hostText/Utf16.h"

#include "hostText/Utf8.h"

namespace vantrel::hostText {

namespace {

bool isHighSurrogate(char32_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}
bool isLowSurrogate(char32_t c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}

} // namespace

std::u16string utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    // A malformed sequence becomes U+FFFD over one byte.
    const Utf8Character decoded = decodeUtf8Character(utf8, i);
    const char32_t c = decoded.value;
    i += decoded.length;
    if (c < 0x10000) {
      out += static_cast<char16_t>(c);
    } else {
      const char32_t v = c - 0x10000;
      out += static_cast<char16_t>(0xD800 + (v >> 10));
      out += static_cast<char16_t>(0xDC00 + (v & 0x3FF));
    }
  }
  return out;
}

std::string utf16ToUtf8(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size() * 3);
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    const char32_t c = utf16[i];
    if (isHighSurrogate(c) && i + 1 < utf16.size() && isLowSurrogate(utf16[i + 1])) {
      appendUtf8(out, 0x10000 + ((c - 0xD800) << 10) + (utf16[i + 1] - 0xDC00));
      ++i;
    } else {
      appendUtf8(out, c);
    }
  }
  return out;
}

} // namespace vantrel::hostText
