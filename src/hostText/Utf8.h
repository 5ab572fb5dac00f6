// The UTF-8 encoding form: how long a sequence is, what it decodes to, how a value is
// written and whether a text is valid. Every rule that handles UTF-8 byte by byte asks here.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vantrel::hostText {

/// True for a continuation byte (10xxxxxx), which no sequence starts with.
constexpr bool isUtf8Continuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

/// The length of the sequence a byte starts, read from its bit pattern alone: 1 for ASCII,
/// 2, 3 or 4 for a lead byte (110xxxxx, 1110xxxx, 11110xxx), 0 for a continuation byte
/// and for F8-FF, which start no sequence. Whether the sequence is complete and well
/// formed is decodeUtf8Character's question.
constexpr std::size_t utf8SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 0;
}

/// One sequence read from a UTF-8 text.
struct Utf8Character {
  char32_t value = 0;     ///< the scalar value; U+FFFD when not well formed
  std::size_t length = 1; ///< bytes it takes; 1 when not well formed
  bool wellFormed = false;
};

/// Decodes the sequence at text[at] (at < text.size()): well formed when it is the
/// shortest form of a value up to U+10FFFF with all its continuation bytes. The three-byte
/// form of a surrogate counts as well formed here, because a Windows name may hold a lone
/// surrogate and utf16ToUtf8 writes it so; isValidUtf8 refuses it.
Utf8Character decodeUtf8Character(std::string_view text, std::size_t at);

/// Appends the sequence of a value up to U+10FFFF: one to four bytes. A surrogate gets the
/// three-byte form of its value (how a Windows name's lone surrogate and modified UTF-8's
/// halves of a pair are written).
void appendUtf8(std::string &out, char32_t value);

/// How many bytes at the start of text are valid UTF-8: well-formed sequences (no overlong
/// form, no value past U+10FFFF) and no surrogate.
std::size_t wellFormedUtf8Length(std::string_view text);

/// True when the whole text is valid UTF-8 (wellFormedUtf8Length is its length).
bool isValidUtf8(std::string_view text);

} // namespace vantrel::hostText
