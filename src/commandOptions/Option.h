// One command-line option: its names, value rules, help text and the values of one parse.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vantrel::commandOptions {

/// Description of one option, keyed everywhere by its long name. During a parse each
/// occurrence is a copy (clone()) of the table's option that collects that occurrence's
/// values.
class Option {
public:
  /// Value count: the option takes no value.
  static constexpr int UNINITIALIZED = -1;
  /// Value count: the option takes any number of values.
  static constexpr int UNLIMITED_VALUES = -2;

  /// An option with only a long name (validated; a leading "--" is dropped).
  explicit Option(const std::string &longOpt);
  Option(const std::string &longOpt, const std::string &description);
  /// takesValue true sets the value count to 1.
  Option(const std::string &longOpt, bool takesValue, const std::string &description);
  /// shortOpt follows the short-name rules (see setShortOpt).
  Option(const std::string &longOpt, const std::optional<std::string> &shortOpt, bool takesValue,
         const std::string &description);
  Option(const std::string &longOpt, char shortOpt, bool takesValue, const std::string &description);

  // --- setters ---------------------------------------------------------------------
  /// Sets the short name from a text: one character, or "-" plus one character; other
  /// lengths give no short name. Throws std::invalid_argument for illegal characters.
  void setShortOpt(const std::optional<std::string> &shortOpt);
  void setShortOpt(char shortOpt);
  void setDescription(const std::optional<std::string> &description) { description_ = description; }
  void setArgName(const std::optional<std::string> &argName) { argName_ = argName; }
  /// Sets the value count and refreshes the takes-value flag.
  void setArgs(int count);
  void setOptionalArg(bool optionalArg) { optionalArg_ = optionalArg; }
  void setRequired(bool required) { required_ = required; }
  /// The value separator; '\0' means none.
  void setValueSeparator(char separator) { valuesep_ = separator; }
  void setType(const std::optional<std::string> &type) { type_ = type; }

  // --- queries ---------------------------------------------------------------------
  const std::string &getLongOpt() const { return longOpt_; }
  std::optional<char> getShortOpt() const { return shortOpt_; }
  /// The short name (the option's one-character id).
  std::optional<char> getCharId() const { return shortOpt_; }
  const std::optional<std::string> &getDescription() const { return description_; }
  /// The value name; present only when non-empty.
  std::optional<std::string> getArgName() const;
  const std::optional<std::string> &getType() const { return type_; }
  char getValueSeparator() const { return valuesep_; }
  bool hasValueSeparator() const { return valuesep_ != '\0'; }
  /// The value count (UNINITIALIZED, UNLIMITED_VALUES or n >= 1).
  int getArgs() const { return numberOfArgs_; }
  /// Takes a value: count > 0 or unlimited.
  bool hasArg() const { return hasArg_; }
  /// Takes more than one value: count > 1 or unlimited.
  bool hasArgs() const { return numberOfArgs_ > 1 || numberOfArgs_ == UNLIMITED_VALUES; }
  bool hasShortOpt() const { return shortOpt_.has_value(); }
  bool hasArgName() const { return argName_.has_value() && !argName_->empty(); }
  bool hasDescription() const { return description_.has_value(); }
  bool hasOptionalArg() const { return optionalArg_; }
  bool isRequired() const { return required_; }

  /// The first value, or nothing.
  std::optional<std::string> getValue() const;
  /// The value at index, or nothing.
  std::optional<std::string> getValue(std::size_t index) const;
  /// The first value, or defaultValue.
  std::string getValue(const std::string &defaultValue) const;
  /// All values, or nothing when there are none.
  std::optional<std::vector<std::string>> getValues() const;
  /// All values (possibly empty).
  const std::vector<std::string> &getValuesList() const { return values_; }

  /// Offers one command-line value; false when the option refuses it (takes no value, or
  /// already holds its count). With a separator the text is split and the pieces appended
  /// one by one; pieces appended before a refusal stay.
  bool addValue(const std::string &text);

  /// The copy used for one occurrence: the same names, description, count, flags, type and
  /// separator, with no values and no value name.
  Option clone() const;

  /// Text form, e.g. "[ option: log l +ARG :: file for logging progress ]"; the help text
  /// sorts options by it.
  std::string toString() const;

private:
  std::string longOpt_;
  std::optional<char> shortOpt_;
  std::optional<std::string> description_;
  std::optional<std::string> argName_;
  int numberOfArgs_ = UNINITIALIZED;
  bool hasArg_ = false;
  bool optionalArg_ = false;
  bool required_ = false;
  char valuesep_ = '\0';
  std::optional<std::string> type_;
  std::vector<std::string> values_;
};

} // namespace vantrel::commandOptions
