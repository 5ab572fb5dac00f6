// The naming rules for long and short option names.
#pragma once

#include <optional>
#include <string>

namespace vantrel::commandOptions {

/// True for a character that may stand inside an identifier: an ASCII letter or digit,
/// "_", "$", or a non-ASCII letter (given as one UTF-8 encoded character). Control
/// characters, blanks and punctuation are refused.
bool isIdentifierCharacter(const std::string &character);

/// Checks a long name and returns it as filed: a leading "--" is dropped from a longer
/// name. Throws std::invalid_argument with the fixed message when the name is absent,
/// empty, holds a character that is neither an identifier character nor "-", or begins
/// with a single "-".
std::string validateLongOpt(const std::optional<std::string> &longOpt);

/// Checks a short name and returns the character it gives, or nothing: absent, empty and
/// longer texts that are not "-" plus one character give no short name; "-x" gives x.
/// Throws std::invalid_argument when the one character is neither an identifier
/// character nor "?" nor "@".
std::optional<char> validateShortOpt(const std::optional<std::string> &shortOpt);

} // namespace vantrel::commandOptions
