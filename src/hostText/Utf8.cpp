// The UTF-8 encoding form, decoded and written one sequence at a time.
#include "hostText/Utf8.h"

namespace vantrel::hostText {
namespace {

constexpr char32_t REPLACEMENT = 0xFFFD;

bool isSurrogate(char32_t c) {
  return c >= 0xD800 && c <= 0xDFFF;
}

} // namespace

Utf8Character decodeUtf8Character(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[at + k]); };
  const unsigned char lead = byte(0);
  const std::size_t length = utf8SequenceLength(lead);
  if (length == 1) return {lead, 1, true};
  if (length == 0 || at + length > text.size()) return {REPLACEMENT, 1, false};
  // The payload bits of the lead byte: 5, 4 or 3 of them.
  char32_t value = lead & (0x7F >> length);
  for (std::size_t k = 1; k < length; ++k) {
    if (!isUtf8Continuation(byte(k))) return {REPLACEMENT, 1, false};
    value = (value << 6) | (byte(k) & 0x3F);
  }
  // Overlong forms and values past U+10FFFF name no character.
  static constexpr char32_t SHORTEST[] = {0, 0, 0x80, 0x800, 0x10000};
  if (value < SHORTEST[length] || value > 0x10FFFF) return {REPLACEMENT, 1, false};
  return {value, length, true};
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

std::size_t wellFormedUtf8Length(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const Utf8Character c = decodeUtf8Character(text, i);
    if (!c.wellFormed || isSurrogate(c.value)) break;
    i += c.length;
  }
  return i;
}

bool isValidUtf8(std::string_view text) {
  return wellFormedUtf8Length(text) == text.size();
}

} // namespace vantrel::hostText
