// The naming rules for long and short option names.
#include "commandOptions/OptionNameRules.h"

#include "commandOptions/OptionMessages.h"
#include "hostText/Utf8.h"

#include <stdexcept>
#include <vector>

namespace vantrel::commandOptions {
namespace {

bool isAsciiIdentifier(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '$';
}

// Non-ASCII code points that count as letters. Without a full character database the
// rule is: anything from U+00C0 upwards except the Latin-1 signs x and /, the general
// punctuation, symbol and arrow blocks, CJK punctuation, the private use and surrogate
// areas and the block U+FFF0-U+FFFF. Controls and Latin-1 punctuation (U+0080-U+00BF)
// are refused.
bool isNonAsciiLetter(char32_t cp) {
  if (cp < 0xC0 || cp == 0xD7 || cp == 0xF7) return false;
  if (cp >= 0x2000 && cp <= 0x2BFF) return false;
  if (cp >= 0x3000 && cp <= 0x303F) return false;
  if (cp >= 0xD800 && cp <= 0xF8FF) return false;
  if (cp >= 0xFFF0 && cp <= 0xFFFF) return false;
  return true;
}

// Splits a name into characters: UTF-8 sequences when the whole name is valid UTF-8,
// otherwise single bytes.
std::vector<std::string> splitCharacters(const std::string &text) {
  std::vector<std::string> out;
  if (!hostText::isValidUtf8(text)) {
    for (char c : text)
      out.emplace_back(1, c);
    return out;
  }
  for (std::size_t i = 0, length = 0; i < text.size(); i += length) {
    length = hostText::utf8SequenceLength(static_cast<unsigned char>(text[i]));
    out.push_back(text.substr(i, length));
  }
  return out;
}

} // namespace

bool isIdentifierCharacter(const std::string &character) {
  if (character.size() == 1) return isAsciiIdentifier(static_cast<unsigned char>(character[0]));
  if (character.empty() || !hostText::isValidUtf8(character)) return false;
  const hostText::Utf8Character decoded = hostText::decodeUtf8Character(character, 0);
  return decoded.length == character.size() && isNonAsciiLetter(decoded.value);
}

std::string validateLongOpt(const std::optional<std::string> &longOpt) {
  if (!longOpt) throw std::invalid_argument(messages::LONG_OPT_NULL);
  const std::string &name = *longOpt;
  if (name.empty()) throw std::invalid_argument(messages::LONG_OPT_EMPTY);
  for (const std::string &character : splitCharacters(name)) {
    if (character != "-" && !isIdentifierCharacter(character))
      throw std::invalid_argument(messages::LONG_OPT_ILLEGAL_CHAR + character + "'");
  }
  if (name.size() > 2 && name.compare(0, 2, "--") == 0) return name.substr(2);
  if (name[0] == '-') throw std::invalid_argument(messages::LONG_OPT_ILLEGAL_VALUE + name + "\"");
  return name;
}

std::optional<char> validateShortOpt(const std::optional<std::string> &shortOpt) {
  if (!shortOpt) return std::nullopt;
  const std::string &text = *shortOpt;
  auto allowed = [](char c) {
    return isAsciiIdentifier(static_cast<unsigned char>(c)) || c == '?' || c == '@';
  };
  if (text.size() == 1) {
    if (!allowed(text[0]))
      throw std::invalid_argument(std::string(messages::SHORT_OPT_ILLEGAL_VALUE) + "'" + text + "'");
    return text[0];
  }
  if (text.size() == 2 && text[0] == '-') {
    if (!allowed(text[1]))
      throw std::invalid_argument(std::string(messages::SHORT_OPT_ILLEGAL_VALUE) + "\"" + text + "\"");
    return text[1];
  }
  // Empty texts and longer ones not of the form "-x" silently give no short name.
  return std::nullopt;
}

} // namespace vantrel::commandOptions
