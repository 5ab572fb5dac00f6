// UTF-8 <-> UTF-16 by the Unicode encoding forms, written out once for every platform.
#include "hostText/Utf16.h"

namespace vantrel::hostText {

namespace {

constexpr char32_t REPLACEMENT = 0xFFFD;

bool isContinuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

/// Decodes one sequence at text[i]: its scalar value (surrogates allowed, as written by
/// utf16ToUtf8) and its length; a malformed sequence gives U+FFFD over one byte.
char32_t decodeOne(std::string_view text, std::size_t i, std::size_t &length) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
  const unsigned char lead = byte(0);
  length = 1;
  if (lead < 0x80) return lead;
  std::size_t need = 0;
  char32_t value = 0;
  char32_t minimum = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    need = 1;
    value = lead & 0x1F;
    minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    need = 2;
    value = lead & 0x0F;
    minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    need = 3;
    value = lead & 0x07;
    minimum = 0x10000;
  } else {
    return REPLACEMENT;
  }
  // The sequence's continuation bytes must all be there.
  if (i + need >= text.size()) return REPLACEMENT;
  for (std::size_t k = 1; k <= need; ++k) {
    if (!isContinuation(byte(k))) return REPLACEMENT;
    value = (value << 6) | (byte(k) & 0x3F);
  }
  // Overlong forms and values past U+10FFFF name no character.
  if (value < minimum || value > 0x10FFFF) return REPLACEMENT;
  length = need + 1;
  return value;
}

void appendUtf8(std::string &out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

bool isHighSurrogate(char32_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}
bool isLowSurrogate(char32_t c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}

} // namespace

std::size_t wellFormedUtf8Length(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t length = 1;
    const char32_t c = decodeOne(text, i, length);
    // A malformed sequence decodes as U+FFFD over one byte; the character itself takes three.
    // Surrogates pass decodeOne (for Windows names) but are no UTF-8.
    if ((c == REPLACEMENT && length == 1) || isHighSurrogate(c) || isLowSurrogate(c)) break;
    i += length;
  }
  return i;
}

std::u16string utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    std::size_t length = 1;
    const char32_t c = decodeOne(utf8, i, length);
    i += length;
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
